// What the process's heaps hand out, as a host that reloads the module or runs for long watches
// it: both runtimes' malloc and Windows' own allocations live there. Windows only.
#pragma once

namespace hostkit {

// The bytes of every busy block on every heap of the process, without the heaps' overheads.
long long BusyHeapBytes();

}  // namespace hostkit

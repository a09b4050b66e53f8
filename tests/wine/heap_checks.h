// Wine's heap checks for a test program: a run of the same program in which freed blocks are
// filled and checked, so that a write into freed memory makes HeapValidate fail and a call through
// a freed object's table faults.
#pragma once

#include <windows.h>

#include <string>

// Whether this process is that run.
bool InHeapCheckedRun();

// Whether Wine fills the blocks this process frees, as it does under the checks.
bool FreedBlocksAreFilled();

// Runs this program again with `arguments` (a command line's tail) under the heap checks and
// returns its exit code; ~0u when it could not start or did not end within `timeoutMs` (then it
// is stopped). `shareOutput`: the run writes to this process's standard output and error.
DWORD RunUnderHeapChecks(const std::string& arguments, DWORD timeoutMs, bool shareOutput);

// Every heap of the process passes HeapValidate.
bool ProcessHeapsAreValid();

// Crashes on purpose, the way its argument names, for tests/wine/crash_check.sh: under the test
// setup a crash must end the program at once, with the fault and a backtrace that names the
// function at fault, rather than wait in Wine's debugger.
//   crash_check null-write      writes through a null pointer
//   crash_check unloaded-code   calls a function of a DLL it has just freed
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

// Read at run time, so that the compiler cannot see the null and put a trap in the write's place.
int* volatile g_nowhere = nullptr;

__attribute__((noinline)) void WriteThroughNull() { *g_nowhere = 1; }

__attribute__((noinline)) int CallUnloadedCode() {
    HMODULE module = LoadLibraryW(L"crash_check_module.dll");
    const auto proc = reinterpret_cast<void (*)()>(module ? GetProcAddress(module, "Answer") : nullptr);
    const auto answer = reinterpret_cast<int (*)()>(proc);
    if (!answer) {
        std::printf("crash_check: crash_check_module.dll or its Answer not found (error %lu)\n",
                    GetLastError());
        return -1;
    }
    FreeLibrary(module);
    // Not a tail call: this function stays on the stack, below the address that faults.
    return answer() + 1;
}

}  // namespace

int main(int argc, char** argv) {
    const char* how = argc > 1 ? argv[1] : "";
    std::printf("crash_check: %s\n", how);
    std::fflush(stdout);
    if (std::strcmp(how, "null-write") == 0) {
        WriteThroughNull();
    } else if (std::strcmp(how, "unloaded-code") == 0) {
        if (CallUnloadedCode() < 0) return 2;
    } else {
        std::printf("usage: crash_check null-write|unloaded-code\n");
        return 2;
    }
    std::printf("crash_check: still running after %s\n", how);
    return 0;
}

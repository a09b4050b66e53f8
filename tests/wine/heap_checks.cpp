#include "heap_checks.h"

namespace {
constexpr char kMarker[] = "TOOLWINDOWS_HEAP_CHECKED";

// Sets an environment variable for as long as this lives, then puts back what was there.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        char old[512] = {};
        const DWORD length = GetEnvironmentVariableA(name, old, sizeof(old));
        m_had = length > 0 && length < sizeof(old);
        m_old = old;
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableA(m_name, m_had ? m_old.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    bool m_had = false;
    std::string m_old;
};
}  // namespace

bool InHeapCheckedRun() { return GetEnvironmentVariableA(kMarker, nullptr, 0) > 0; }

bool FreedBlocksAreFilled()
{
    // A heap of its own, whose pages stay committed after the free: the read below stays in them.
    const HANDLE heap = HeapCreate(0, 0, 0);
    if (!heap)
        return false;
    auto* block = static_cast<volatile DWORD*>(HeapAlloc(heap, 0, 64));
    bool filled = false;
    if (block) {
        block[4] = 0;
        HeapFree(heap, 0, const_cast<DWORD*>(block));
        filled = block[4] == 0xfeeefeee;
    }
    HeapDestroy(heap);
    return filled;
}

DWORD RunUnderHeapChecks(const std::string& arguments, DWORD timeoutMs, bool shareOutput)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command = std::string("\"") + exe + "\" " + arguments;
    // Wine's heap warnings turn on its checking of freed blocks.
    const ScopedVariable debug("WINEDEBUG", "-all,warn+heap");
    const ScopedVariable marker(kMarker, "1");
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    if (shareOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        for (HANDLE h : {startup.hStdOutput, startup.hStdError})
            SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, shareOutput, 0, nullptr, nullptr, &startup,
                        &process))
        return ~0u;
    DWORD exitCode = ~0u;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &exitCode);
    else
        TerminateProcess(process.hProcess, ~0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

bool ProcessHeapsAreValid()
{
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i)
        if (!HeapValidate(heaps[i], 0, nullptr))
            return false;
    return count > 0;
}

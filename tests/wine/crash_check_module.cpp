// The DLL that crash_check loads, frees, then calls into.
extern "C" __declspec(dllexport) int Answer() { return 42; }

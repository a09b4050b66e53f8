// Small DLLs for tests/dll_rules/check_rules.sh, each built with one RULES_* macro: the module's
// export as it should be, or one of the ways a build could break scripts/check-dll.sh's rules on
// exports and imports.
#if defined(RULES_MANGLED)
// extern "C" forgotten: a C++ name.
__declspec(dllexport) void* GetTinyFactory() { return nullptr; }
#elif defined(RULES_STDCALL)
// __stdcall without a .def file: "GetTinyFactory@0" on i686, undecorated on x86_64.
extern "C" __declspec(dllexport) void* __stdcall GetTinyFactory() { return nullptr; }
#else
// Exported by the .def file, as the module's own is.
extern "C" void* GetTinyFactory() { return nullptr; }
#endif

#if defined(RULES_SECOND)
// A stray dllexport beside the .def file.
extern "C" __declspec(dllexport) int Second() { return 2; }
#elif defined(RULES_ORDINAL)
// Exported by ordinal alone (the .def file says NONAME): no name in the name table.
extern "C" int Second() { return 2; }
#elif defined(RULES_IMPORT)
// Linked against another DLL of ours, which would have to be shipped beside it.
extern "C" __declspec(dllimport) int Second();
extern "C" int CallSecond() { return Second(); }
#endif

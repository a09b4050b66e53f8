// A module with nothing of its own: the layer's entry point (mfc/DllMain.cpp) and the runtime,
// linked as toolwindows.dll is. host_tests loads and unloads it beside the module, so what a load
// costs the system (its loader, its heap's bins) counts on both sides and only the module's own
// losses show in the difference.
extern "C" __declspec(dllexport) int ReloadBaseline() { return 1; }

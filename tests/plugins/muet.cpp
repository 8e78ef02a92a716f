// A library with no export named "plugin": the name differs in case only,
// which the lookup does not forgive.
extern "C" __declspec(dllexport) void Plugin(void) {}

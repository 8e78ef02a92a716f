// A library that refuses to be loaded.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) { return reason != DLL_PROCESS_ATTACH; }

extern "C" __declspec(dllexport) void plugin(void) {}

// A library that takes its time to load, as one with heavy start-up work
// does: listing it must cost the clock nothing.
#include <windows.h>

#include "orvane_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Sleep(3000);
    return TRUE;
}

ORVANE_PLUGIN void __cdecl plugin(void) {}

// A well-behaved plug-in that counts what happens to it, so that a test can
// see that it was loaded once and called as often as it was chosen.
#include <windows.h>

#include "orvane_plugin.h"

namespace {
int attaches = 0;
int calls = 0;
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) ++attaches;
    return TRUE;
}

ORVANE_PLUGIN void __cdecl plugin(void) { ++calls; }

extern "C" __declspec(dllexport) int marque_chargements(void) { return attaches; }
extern "C" __declspec(dllexport) int marque_appels(void) { return calls; }

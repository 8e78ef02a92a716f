// A plug-in that needs a library of its own.
#include "orvane_plugin.h"

extern "C" __declspec(dllimport) int commun_valeur(void);

namespace {
int lastValue = 0;
}

ORVANE_PLUGIN void __cdecl plugin(void) { lastValue = commun_valeur(); }

extern "C" __declspec(dllexport) int dependant_valeur(void) { return lastValue; }

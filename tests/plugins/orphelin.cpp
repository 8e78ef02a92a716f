// A plug-in whose library is missing: it cannot be loaded.
#include "orvane_plugin.h"

extern "C" __declspec(dllimport) int absent_valeur(void);

ORVANE_PLUGIN void __cdecl plugin(void) { absent_valeur(); }

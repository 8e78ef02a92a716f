// A plug-in that writes through a null pointer.
#include "orvane_plugin.h"

namespace {
int* volatile nowhere = nullptr;
}

ORVANE_PLUGIN void __cdecl plugin(void) { *nowhere = 1; }

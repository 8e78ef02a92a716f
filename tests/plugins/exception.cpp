// A plug-in whose C++ exception leaves its entry point.
#include <stdexcept>

#include "orvane_plugin.h"

ORVANE_PLUGIN void __cdecl plugin(void) { throw std::runtime_error("capteur débranché"); }

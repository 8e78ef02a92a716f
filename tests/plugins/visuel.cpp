// A plug-in as another compiler builds it: its C++ exception leaves as the
// structured exception that compiler raises.
#include <windows.h>

#include "orvane_plugin.h"

ORVANE_PLUGIN void __cdecl plugin(void) { RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 0, nullptr); }

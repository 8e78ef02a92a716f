// A plug-in that reports the process unsound, as the system's heap checks or
// a stack cookie check do on their way out: nothing the host holds in memory
// can be trusted after it. The code comes from the build (heap corruption or
// stack buffer overrun).
#include <windows.h>

#include "orvane_plugin.h"

ORVANE_PLUGIN void __cdecl plugin(void) { RaiseException(ORVANE_FAULT_CODE, EXCEPTION_NONCONTINUABLE, 0, nullptr); }

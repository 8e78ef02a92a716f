// A plug-in that recurses without end.
#include "orvane_plugin.h"

namespace {
volatile int bottom = -1;  // never reached: the compiler cannot know it

int deeper(int level) {
    if (level == bottom) return 0;
    volatile char frame[1024];
    frame[0] = static_cast<char>(level);
    return deeper(level + 1) + frame[0];
}
}  // namespace

ORVANE_PLUGIN void __cdecl plugin(void) { deeper(0); }

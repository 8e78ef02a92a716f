// How far a stopwatch, a countdown and the elapsed count end from the true
// time after a simulated day of timer events each 15.6 ms late, with the
// program held busy for 3 s once an hour. Prints one row per count:
// "<name> <seconds>".
#include <cstdio>

#include "support/drift_run.hpp"

int main() {
    const auto errors = orvane::testing::runDrift({});
    std::printf("drift_stopwatch_s %.3f\n", errors.stopwatch);
    std::printf("drift_countdown_s %.3f\n", errors.countdown);
    std::printf("drift_elapsed_s %.3f\n", errors.elapsed);
    return 0;
}

#include <gtest/gtest.h>

#include "support/drift_run.hpp"

namespace orvane {
namespace {

using testing::DriftScenario;

// Late events, a stall just after the start of each hour or in the middle, a start at
// any point of a second: the counts end within a second of the true time and
// never ahead of it.
TEST(Drift, ADayOfLateAndStalledTicksEndsWithinOneSecond) {
    const DriftScenario scenarios[] = {
        {},
        {.lateMs = 0, .stallMs = 0},
        {.lateMs = 40, .stallOffsetMs = 5000, .startMillisecond = 0, .countdownTimerPhaseMs = 1},
        {.stallMs = 59000, .stallOffsetMs = 1800000, .startMillisecond = 999, .countdownTimerPhaseMs = 999},
        {.lateMs = 15.6, .stallOffsetMs = 600000, .startMillisecond = 1, .countdownTimerPhaseMs = 15},
        // No stall, and a timer phase that puts an event just before the end.
        {.stallMs = 0, .countdownTimerPhaseMs = 856},
    };
    for (const DriftScenario& s : scenarios) {
        const auto e = testing::runDrift(s);
        const std::pair<const char*, double> errors[] = {
            {"stopwatch", e.stopwatch}, {"countdown", e.countdown}, {"elapsed", e.elapsed}};
        for (const auto& [count, error] : errors) {
            EXPECT_GE(error, 0.0) << count << ", late " << s.lateMs << ", stall at " << s.stallOffsetMs;
            EXPECT_LT(error, 1.0) << count << ", late " << s.lateMs << ", stall at " << s.stallOffsetMs;
        }
    }
}

}  // namespace
}  // namespace orvane

// The system's own zone, as Windows (here Wine, which follows TZ) gives it,
// against stand-ins with the same rules: one second before, at and after
// every change of clocks from 2026 to 2028, and across each New Year.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/calendar.hpp"
#include "platform/win32/services.hpp"
#include "support/time_zones.hpp"

namespace orvane {
namespace {

TEST(SystemZone, GivesEveryReadingAroundEachChangeOfClocksAsTheZonesRulesDo) {
    const char* tz = std::getenv("TZ");
    const std::string name = tz != nullptr ? tz : "";
    const testing::RuledZone* rules = name == "Europe/Paris"         ? &testing::parisRules()
                                      : name == "America/New_York" ? &testing::newYorkRules()
                                                                   : nullptr;
    ASSERT_NE(rules, nullptr) << "run with TZ set to a zone this test knows, not \"" << name << "\"";
    const win32::SystemTimeZone system;
    for (int year = 2026; year <= 2028; ++year) {
        const std::int64_t newYear = daysFromCivil(year, 1, 1) * 86400;
        for (const std::int64_t moment : {rules->begins()(year), rules->ends()(year),
                                          newYear - rules->offsetAt(newYear)}) {
            for (const std::int64_t t : {moment - 1, moment, moment + 1}) {
                const Instant at{t * 1000};
                EXPECT_EQ(wallSeconds(system.localAt(at)), wallSeconds(rules->localAt(at)))
                    << name << " at UTC second " << t;
                EXPECT_EQ(instantOf(system, rules->localAt(at)), instantOf(*rules, rules->localAt(at)))
                    << name << " the instant of the reading at UTC second " << t;
            }
        }
    }
}

// Paris's rules, as the system gives them, with the user's switch.
bool daylightSavingOff = false;
void parisRules(TIME_ZONE_INFORMATION& rules) {
    rules.Bias = -60;
    rules.DaylightBias = -60;
    rules.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};  // last Sunday of October, 03:00
    rules.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};   // last Sunday of March, 02:00
}
DWORD WINAPI currentParis(PDYNAMIC_TIME_ZONE_INFORMATION current) {
    *current = {};
    TIME_ZONE_INFORMATION rules{};
    parisRules(rules);
    current->Bias = rules.Bias;
    current->DaylightBias = rules.DaylightBias;
    current->StandardDate = rules.StandardDate;
    current->DaylightDate = rules.DaylightDate;
    current->DynamicDaylightTimeDisabled = daylightSavingOff;
    return TIME_ZONE_ID_DAYLIGHT;
}
BOOL WINAPI parisOfYear(USHORT, PDYNAMIC_TIME_ZONE_INFORMATION, LPTIME_ZONE_INFORMATION rules) {
    *rules = {};
    parisRules(*rules);
    return TRUE;
}

// "Adjust for daylight saving time automatically" switched off in Windows'
// settings: standard time all year, whatever the zone's rules of the year.
TEST(SystemZone, KeepsToStandardTimeWhenTheUserSwitchedDaylightSavingOff) {
    const win32::SystemTimeZone zone({currentParis, parisOfYear});
    const Instant july{(daysFromCivil(2027, 7, 14) * 86400 + 10 * 3600) * 1000};  // 10:00 UTC
    for (const bool off : {false, true}) {
        daylightSavingOff = off;
        EXPECT_EQ(zone.localAt(july).hour, off ? 11 : 12) << (off ? "switched off" : "on");
    }
}

}  // namespace
}  // namespace orvane

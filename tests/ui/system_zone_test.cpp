// The system's own zone, as Windows (here Wine, which follows TZ) gives it,
// against stand-ins with the same rules: one second before, at and after
// every change of clocks from 2026 to 2028, and across each New Year.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwchar>
#include <memory>
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

// Paris's rules, as the system gives them, with the user's switch (which
// clears the zone's dates) or set the old way (dates kept, no name); or
// another zone, and the calls counted.
bool daylightSavingOff = false, datesKept = false;
LONG bias = -60;
WORD springMonth = 3;
int identityReads = 0, yearReads = 0;
void parisRules(TIME_ZONE_INFORMATION& rules) {
    rules.Bias = bias;
    rules.DaylightBias = -60;
    rules.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};          // last Sunday of October, 03:00
    rules.DaylightDate = {0, springMonth, 0, 5, 2, 0, 0, 0};  // last Sunday of March, 02:00
}
DWORD WINAPI currentParis(PDYNAMIC_TIME_ZONE_INFORMATION current) {
    ++identityReads;
    *current = {};
    TIME_ZONE_INFORMATION rules{};
    parisRules(rules);
    current->Bias = rules.Bias;
    current->DaylightBias = rules.DaylightBias;
    if (!daylightSavingOff || datesKept) {
        current->StandardDate = rules.StandardDate;
        current->DaylightDate = rules.DaylightDate;
    }
    if (!daylightSavingOff || !datesKept) std::wcscpy(current->TimeZoneKeyName, L"Romance Standard Time");
    current->DynamicDaylightTimeDisabled = daylightSavingOff;
    return TIME_ZONE_ID_DAYLIGHT;
}
BOOL WINAPI parisOfYear(USHORT, PDYNAMIC_TIME_ZONE_INFORMATION, LPTIME_ZONE_INFORMATION rules) {
    ++yearReads;
    *rules = {};
    parisRules(*rules);
    return TRUE;
}

// "Adjust for daylight saving time automatically" switched off in Windows'
// settings: standard time all year, whatever the zone's rules of the year;
// a zone set the old way keeps its own dates.
TEST(SystemZone, KeepsToStandardTimeWhenTheUserSwitchedDaylightSavingOff) {
    const Instant july{(daysFromCivil(2027, 7, 14) * 86400 + 10 * 3600) * 1000};  // 10:00 UTC
    const struct {
        bool off, kept;
        int hour;
    } cases[] = {{false, false, 12}, {true, false, 11}, {true, true, 12}};
    for (const auto& c : cases) {
        daylightSavingOff = c.off;
        datesKept = c.kept;
        const win32::SystemTimeZone zone({currentParis, parisOfYear});
        EXPECT_EQ(zone.localAt(july).hour, c.hour) << (c.off ? "switched off" : "on") << (c.kept ? ", dates kept" : "");
    }
    daylightSavingOff = datesKept = false;
}

// The rules are read once and kept: an idle minute asks the system at most
// once for each; a change that moves the clock's offset is seen at the next
// tick, one that keeps it within a minute, and a message from the system has
// them read at the next tick. Rules replaced stay whole for their keeper.
TEST(SystemZone, ReadsTheRulesOnceAndAgainOnlyWhenSomethingMayHaveChanged) {
    const win32::SystemTimeZone zone({currentParis, parisOfYear});
    const Instant july{(daysFromCivil(2027, 7, 14) * 86400 + 10 * 3600) * 1000};
    Instant now{(daysFromCivil(2027, 1, 10) * 86400 + 10 * 3600) * 1000};
    std::int64_t monotonic = 0;
    auto tick = [&](std::int64_t shownOffset) {
        zone.follow({testing::wallReadingAt(now, shownOffset), now, monotonic});
        zone.localAt(now);
        now.ms += 1000;
        monotonic += 1000;
    };
    tick(3600);
    identityReads = yearReads = 0;
    for (int k = 0; k < 60; ++k) tick(3600);
    EXPECT_LE(identityReads, 1) << "an idle minute";
    EXPECT_LE(yearReads, 1) << "an idle minute";

    bias = -120;  // another zone, an hour east, no message
    tick(7200);
    EXPECT_EQ(utcOffsetSeconds(zone, now), 7200) << "seen at the next tick";

    const std::shared_ptr<const TimeZone> before = zone.rules();
    springMonth = 0;  // the same offset today, no summer time
    int ticks = 0;
    while (zone.rules() == before && ticks <= 60) tick(7200), ++ticks;
    EXPECT_LE(ticks, 60) << "other rules of the same offset, within a minute";
    EXPECT_EQ(std::make_pair(int{before->localAt(july).hour}, int{zone.localAt(july).hour}), std::make_pair(13, 12))
        << "the rules replaced, kept whole beside the new";

    tick(7200);
    identityReads = 0;
    zone.mayHaveChanged();
    tick(7200);
    EXPECT_EQ(identityReads, 1) << "read again after the system's message";
    bias = -60;
    springMonth = 3;
}

}  // namespace
}  // namespace orvane

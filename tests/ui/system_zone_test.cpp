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

}  // namespace
}  // namespace orvane

#include "common/control_ids.hpp"

#include <array>

namespace orvane {
namespace {

// The mistakes the check is there to catch, in a window's per-slot table:
// row 0 is no slot, as in the alarms' and countdowns' tables.
struct Slot {
    int label, button;
};
constexpr std::array<Slot, 4> whole{{{}, {110, 120}, {111, 121}, {112, 122}}};
constexpr std::array<Slot, 4> rowMissing{{{}, {110, 120}, {111, 121}}};
constexpr std::array<Slot, 4> rowCopied{{{}, {110, 120}, {111, 121}, {111, 121}}};
constexpr std::array<Slot, 4> columnsCrossed{{{}, {110, 120}, {111, 121}, {112, 110}}};

static_assert(controlIdsStand(whole, 1, &Slot::label, &Slot::button));
static_assert(!controlIdsStand(whole, 0, &Slot::label, &Slot::button), "row 0 counts only when asked");
static_assert(!controlIdsStand(rowMissing, 1, &Slot::label, &Slot::button));
static_assert(!controlIdsStand(rowCopied, 1, &Slot::label));
static_assert(!controlIdsStand(columnsCrossed, 1, &Slot::label, &Slot::button));
static_assert(controlIdsStand(columnsCrossed, 1, &Slot::label), "only the members listed are compared");

}  // namespace
}  // namespace orvane

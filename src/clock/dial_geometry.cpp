#include "clock/dial_geometry.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/display_scale.hpp"

namespace orvane {

namespace {
// To the nearest integer, a half to the even one. Worked out by hand rather
// than through the floating-point rounding mode: switching that mode each
// time cost more than all the rest of the dial.
int roundHalfToEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    const bool up = fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0);
    return static_cast<int>(up ? below + 1 : below);
}
}  // namespace

HandOffset handOffset(int value, int divisions, int length) {
    const double angle = value * 2 * std::numbers::pi / divisions;  // clockwise from 12 o'clock
    return {roundHalfToEven(length * std::sin(angle)), roundHalfToEven(length * std::cos(angle))};
}

std::array<HandLine, 3> dialHands(std::uint16_t hour, std::uint16_t minute, std::uint16_t second) {
    const HandOffset offsets[] = {handOffset(hour % 12, 12, 9), handOffset(minute, 60, 12), handOffset(second, 60, 12)};
    std::array<HandLine, 3> lines{};
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = {dialCentreX, dialCentreY, dialCentreX + offsets[i].dx, dialCentreY - offsets[i].dy};
    return lines;
}

std::optional<DialArea> movedHandsArea(const std::array<HandLine, 3>& before, const std::array<HandLine, 3>& after,
                                       int penWidth) {
    // A pen reaches half its width to each side of the line, rounded up.
    const int reach = penWidth / 2 + 1;
    std::optional<DialArea> area;
    auto add = [&](const HandLine& hand) {
        const DialArea box{std::min(hand.fromX, hand.toX) - reach, std::min(hand.fromY, hand.toY) - reach,
                           std::max(hand.fromX, hand.toX) + reach + 1, std::max(hand.fromY, hand.toY) + reach + 1};
        if (!area) area = box;
        else area = DialArea{std::min(area->left, box.left), std::min(area->top, box.top),
                             std::max(area->right, box.right), std::max(area->bottom, box.bottom)};
    };
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        add(before[i]);
        add(after[i]);
    }
    return area;
}

namespace {
int scaledPixel(int value, int dpi) { return static_cast<int>(atDpi(value, dpi)); }
}  // namespace

std::array<HandLine, 3> scaledHands(const std::array<HandLine, 3>& hands, int dpi) {
    std::array<HandLine, 3> scaled{};
    for (std::size_t i = 0; i < hands.size(); ++i)
        scaled[i] = {scaledPixel(hands[i].fromX, dpi), scaledPixel(hands[i].fromY, dpi),
                     scaledPixel(hands[i].toX, dpi), scaledPixel(hands[i].toY, dpi)};
    return scaled;
}

int scaledPenWidth(int width, int dpi) { return dpi == 96 ? width : scaledPixel(std::max(width, 1), dpi); }

}  // namespace orvane

#include "clock/dial_geometry.hpp"

#include <cfenv>
#include <cmath>
#include <numbers>

namespace orvane {

namespace {
int roundHalfToEven(double value) {
    // nearbyint rounds in the current mode; make sure it is to-nearest-even.
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    return static_cast<int>(rounded);
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

}  // namespace orvane

#pragma once
#include <array>
#include <cstdint>
#include <optional>

namespace orvane {

// The dial's hands are drawn from this pixel of the face picture.
inline constexpr int dialCentreX = 28;
inline constexpr int dialCentreY = 28;

struct HandLine {
    int fromX, fromY, toX, toY;  // the end point itself is not painted
    friend bool operator==(const HandLine&, const HandLine&) = default;
};

// Offset of a hand's end from the centre, x to the right and y upward, for a
// value out of `divisions` (12 for the hour, 60 otherwise), each rounded to
// the nearest integer with halves going to the even neighbour.
struct HandOffset {
    int dx, dy;
    friend bool operator==(const HandOffset&, const HandOffset&) = default;
};
HandOffset handOffset(int value, int divisions, int length);

// The hour, minute and second hands, in drawing order (the second hand on top).
std::array<HandLine, 3> dialHands(std::uint16_t hour, std::uint16_t minute, std::uint16_t second);

// The hands of a dial shown at a DPI: the 96-DPI end points times dpi / 96,
// each rounded to the nearest pixel (halves away from zero).
std::array<HandLine, 3> scaledHands(const std::array<HandLine, 3>& hands, int dpi);
// The pen of the hands at a DPI: the set width times dpi / 96, a width of 0
// (the thinnest line) counting as 1; at 96 DPI the width as set.
int scaledPenWidth(int width, int dpi);

// A rectangle of the dial's pixels, right and bottom edges excluded.
struct DialArea {
    int left, top, right, bottom;
    friend bool operator==(const DialArea&, const DialArea&) = default;
};
// The pixels that differ between two sets of hands drawn with the same pen:
// every hand that moved, where it was and where it is. Nothing when none moved.
std::optional<DialArea> movedHandsArea(const std::array<HandLine, 3>& before, const std::array<HandLine, 3>& after,
                                       int penWidth);

}  // namespace orvane

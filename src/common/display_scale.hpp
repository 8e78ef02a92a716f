#pragma once
#include <cstdint>

namespace orvane {

// Pixels of the 96-DPI layout at a DPI, to the nearest pixel with halves
// away from zero, as the system scales its own.
constexpr std::int64_t atDpi(std::int64_t pixels, int dpi) {
    const std::int64_t product = pixels * dpi;
    return (product + (product >= 0 ? 48 : -48)) / 96;
}

}  // namespace orvane

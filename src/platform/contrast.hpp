#pragma once
#include <cstdint>
#include <optional>

namespace orvane {

// The user's high-contrast theme, which the program's own pictures follow:
// their dark outlines would stand almost unseen on its dark faces.
class HighContrast {
public:
    virtual ~HighContrast() = default;
    // The theme's text colour (0x00BBGGRR) while a high-contrast theme is
    // on; nothing otherwise.
    virtual std::optional<std::uint32_t> textColour() const = 0;
};

}  // namespace orvane

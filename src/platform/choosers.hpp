#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvane {

// The system's colour chooser.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    // The colour picked (0x00BBGGRR), or nothing when the user cancels.
    virtual std::optional<std::uint32_t> choose(void* owner, std::uint32_t current) = 0;
};

}  // namespace orvane

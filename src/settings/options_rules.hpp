#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/window_shake.hpp"
#include "platform/picture_files.hpp"
#include "settings/clock_settings.hpp"

namespace orvane {

// What the options dialog's controls hold.
struct OptionsControls {
    enum class Sound { Beep, File, Nothing };
    Sound sound = Sound::Beep;
    int frequency = 0;      // TrackBar2, hertz
    int duration = 0;       // TrackBar1, milliseconds
    int intensity = 0;      // TrackBar3
    int shakeCount = 0;     // TrackBar4
    std::wstring soundFile;    // OpenDialog1's file name
    std::wstring pictureFile;  // OpenDialog2's file name
    std::uint32_t colour = 0;  // ColorDialog1's colour
    std::wstring widthText;    // ComboBox1's text
};

inline constexpr int frequencyMax = 15000;
inline constexpr int durationMax = beepDurationLimit;
inline constexpr int intensityMax = 20;
inline constexpr int shakeCountMax = shakeCountLimit;

// The controls as activation loads them from the settings; the picture's name
// is kept even when its file is missing now, so that "OK" does not lose it.
// "Rien" is never chosen here: it comes back as a beep whose sliders are at 0.
// Sliders bring values back into their ranges.
OptionsControls optionsFromSettings(const ClockSettings& settings);

// "OK": stores the controls into the settings in their order. A width that is
// not a decimal integer stops at that step with its error text; what came
// before is already stored.
void confirmOptions(const OptionsControls& controls, ClockSettings& settings);

// A decimal integer as typed: an optional sign and digits, in 32 bits.
std::optional<std::int32_t> parseDecimalInteger(std::wstring_view text);
// The width read from its text, or UserError "'<text>' n'est pas une valeur entière correcte".
std::int32_t widthFromText(const std::wstring& text);

// What the options say of a picture whose extension no reader knows.
std::wstring unknownPictureText(const std::wstring& path);

}  // namespace orvane

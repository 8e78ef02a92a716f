#include "settings/options_rules.hpp"

#include <algorithm>
#include <limits>

#include "common/user_error.hpp"

namespace orvane {

namespace {
int clamp(std::int32_t value, int high) { return std::clamp<std::int32_t>(value, 0, high); }
}  // namespace

OptionsControls optionsFromSettings(const ClockSettings& settings) {
    OptionsControls c;
    c.pictureFile = settings.Pendule;
    c.sound = settings.Bip ? OptionsControls::Sound::Beep : OptionsControls::Sound::File;
    c.duration = clamp(settings.DureeBip, durationMax);
    c.frequency = clamp(settings.FrequenceBip, frequencyMax);
    c.intensity = clamp(settings.intensevibre, intensityMax);
    c.shakeCount = clamp(settings.dureevibre, shakeCountMax);
    c.soundFile = settings.Musique;
    c.colour = static_cast<std::uint32_t>(settings.Couleur);
    c.widthText = std::to_wstring(settings.penwidth);
    return c;
}

void confirmOptions(const OptionsControls& c, ClockSettings& s) {
    s.Bip = c.sound != OptionsControls::Sound::File;
    s.FrequenceBip = c.frequency;
    s.DureeBip = c.duration;
    if (c.sound == OptionsControls::Sound::Nothing) {
        s.FrequenceBip = 0;
        s.DureeBip = 0;
    }
    s.intensevibre = c.intensity;
    s.dureevibre = c.shakeCount;
    s.Musique = c.soundFile;
    s.Pendule = c.pictureFile;
    s.Couleur = static_cast<std::int32_t>(c.colour);
    s.penwidth = widthFromText(c.widthText);
}

std::optional<std::int32_t> parseDecimalInteger(std::wstring_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + (c - L'0');
        if (value > 1LL << 31) return std::nullopt;  // stop before any overflow
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t widthFromText(const std::wstring& text) {
    if (const auto width = parseDecimalInteger(text)) return *width;
    throw UserError(L"'" + text + L"' n'est pas une valeur entière correcte");
}

std::wstring unknownPictureText(const std::wstring& path) {
    return L"Extension de fichier image inconnue (." + pictureExtension(path) + L")";
}

}  // namespace orvane

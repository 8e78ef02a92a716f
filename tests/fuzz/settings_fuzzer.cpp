// The settings reading over whatever bytes a Configuration.ini may hold,
// under libFuzzer with AddressSanitizer and UBSan. Beyond not failing, every
// field must be what its key says or its default, and whatever the program
// would write must read back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "settings/clock_settings.hpp"
#include "support/fake_profile.hpp"
#include "support/ini_text_profile.hpp"

namespace {

using orvane::ClockSettings;

const std::wstring folder = L"C:\\Program Files\\Orvane\\";

void require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// The integer forms a user may write, worked out another way: the text is
// split into sign, base and digits and the digits are left to strtoll.
std::optional<std::int32_t> expectedInteger(std::wstring_view text) {
    std::string narrow;
    for (const wchar_t c : text) {
        if (c <= 0 || c > 0x7F) return std::nullopt;
        narrow += static_cast<char>(c);
    }
    std::string_view rest = narrow;
    const bool negative = rest.starts_with('-');
    if (negative || rest.starts_with('+')) rest.remove_prefix(1);
    int base = 10;
    for (const std::string_view prefix : {"0x", "0X", "$"})
        if (rest.starts_with(prefix)) {
            base = 16;
            rest.remove_prefix(prefix.size());
            break;
        }
    const std::string_view allowed = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (rest.empty() || rest.find_first_not_of(allowed) != std::string_view::npos) return std::nullopt;
    rest.remove_prefix(std::min(rest.find_first_not_of('0'), rest.size() - 1));
    if (rest.size() > 10) return std::nullopt;
    const long long magnitude = std::strtoll(std::string(rest).c_str(), nullptr, base);
    const long long value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const orvane::testing::IniTextProfile file(folder + L"Configuration.ini",
                                               std::string_view(reinterpret_cast<const char*>(data), size));
    const ClockSettings s = orvane::loadClockSettings(file, folder);

    auto integer = [&](const wchar_t* key, std::int32_t fallback) {
        const auto text = file.value(L"Options", key);
        return text ? expectedInteger(*text).value_or(fallback) : fallback;
    };
    auto text = [&](const wchar_t* key, const std::wstring& fallback) {
        return file.value(L"Options", key).value_or(fallback).substr(0, orvane::settingsTextLimit);
    };
    require(s.Bip == (integer(L"Bip", 1) != 0), "Bip");
    require(s.FrequenceBip == integer(L"FrequenceBip", 0), "FrequenceBip");
    require(s.DureeBip == integer(L"DureeBip", 0), "DureeBip");
    require(s.intensevibre == integer(L"intensevibre", 10), "intensevibre");
    require(s.dureevibre == integer(L"dureevibre", 20), "dureevibre");
    require(s.Couleur == integer(L"Couleur", 0), "Couleur");
    require(s.penwidth == integer(L"penwidth", 1), "penwidth");
    require(s.Musique.size() <= orvane::settingsTextLimit && s.Musique == text(L"Musique", L""), "Musique");
    require(s.Pendule.size() <= orvane::settingsTextLimit && s.Pendule == text(L"Pendule", folder + L"HORLOGE.BMP"),
            "Pendule");

    orvane::testing::FakeProfile written;
    orvane::saveClockSettings(written, folder, s);
    require(orvane::loadClockSettings(written, folder) == s, "what is written reads back the same");
    return 0;
}

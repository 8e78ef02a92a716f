#pragma once
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "platform/files.hpp"
#include "platform/profile.hpp"

namespace orvane {

// The user's settings, each named after its key in Configuration.ini; how
// each is stored is said once, in clockSettingKeys below. A member's value
// here is its default.
struct ClockSettings {
    bool Bip = true;                  // true: beep at the hour; false: play Musique
    std::int32_t FrequenceBip = 0;    // hertz
    std::int32_t DureeBip = 0;        // milliseconds
    std::wstring Musique;             // sound file played when Bip is false
    std::wstring Pendule;             // dial picture; the exe folder's HORLOGE.BMP by default
    std::int32_t intensevibre = 10;   // pixels: bound of each shake step
    std::int32_t dureevibre = 20;     // shake steps, plus one
    std::int32_t Couleur = 0;         // hand colour, 0x00BBGGRR
    std::int32_t penwidth = 1;        // hand width in pixels

    friend bool operator==(const ClockSettings&, const ClockSettings&) = default;
};

inline constexpr wchar_t settingsFileName[] = L"Configuration.ini";
inline constexpr wchar_t settingsSection[] = L"Options";
inline constexpr wchar_t defaultDialFileName[] = L"HORLOGE.BMP";
// The face shows at its own size, cut to this square, in the dial and in the
// options' preview.
inline constexpr int dialShownSize = 71;
// The longest hourly beep, as the options offer: a longer one from a
// hand-edited file would hold the program's only thread for as long.
inline constexpr int beepDurationLimit = 3000;
// Text values longer than this are cut when read.
inline constexpr std::size_t settingsTextLimit = 2047;

// One setting as the file stores it, in the section Options. A bool is
// written "1" or "0" and read as an integer other than 0; an integer is read
// as parseSettingsInteger reads it; a text is cut at settingsTextLimit.
// Anything missing or unreadable keeps the member's default.
struct ClockSettingKey {
    using Member = std::variant<bool ClockSettings::*, std::int32_t ClockSettings::*, std::wstring ClockSettings::*>;
    const wchar_t* key;
    Member member;
    // Where its line comes when the settings are written, from 0: files
    // already written have their lines in an order of their own.
    std::size_t writtenAt;
    // For a text whose default depends on where the program is: this file in
    // the program's folder.
    const wchar_t* defaultInProgramFolder = nullptr;
};

// Every setting, in the order of reading. A new setting is a row here (and
// its control in the options).
inline constexpr ClockSettingKey clockSettingKeys[] = {
    {L"Bip", &ClockSettings::Bip, 0},
    {L"FrequenceBip", &ClockSettings::FrequenceBip, 1},
    {L"DureeBip", &ClockSettings::DureeBip, 2},
    {L"Musique", &ClockSettings::Musique, 3},
    {L"Pendule", &ClockSettings::Pendule, 6, defaultDialFileName},
    {L"intensevibre", &ClockSettings::intensevibre, 4},
    {L"dureevibre", &ClockSettings::dureevibre, 5},
    {L"Couleur", &ClockSettings::Couleur, 7},
    {L"penwidth", &ClockSettings::penwidth, 8},
};

// Whether rows can describe a file: every key there and its own (keys
// match without regard to case), every member read once, and the places of
// writing each taken once.
constexpr bool settingKeysWellFormed(std::span<const ClockSettingKey> rows) {
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    auto sameKey = [&](std::wstring_view a, std::wstring_view b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (lower(a[i]) != lower(b[i])) return false;
        return true;
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].key == nullptr || *rows[i].key == L'\0' || rows[i].writtenAt >= rows.size()) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (sameKey(rows[i].key, rows[j].key) || rows[i].member == rows[j].member ||
                rows[i].writtenAt == rows[j].writtenAt)
                return false;
    }
    return true;
}
static_assert(settingKeysWellFormed(clockSettingKeys));

// How many members an aggregate has: the most initialisers it takes.
namespace settings_detail {
struct AnyValue {
    template <typename T>
    constexpr operator T() const;  // only asked of, never called
};
template <typename T, typename... Given>
constexpr std::size_t memberCount() {
    if constexpr (requires { T{Given{}..., AnyValue{}}; }) return memberCount<T, Given..., AnyValue>();
    else return sizeof...(Given);
}
}  // namespace settings_detail
static_assert(settings_detail::memberCount<ClockSettings>() == std::size(clockSettingKeys),
              "every member of ClockSettings has its row in clockSettingKeys, or it is never stored");

// An integer as the settings file writes it by hand: signed decimal, or
// hexadecimal after "0x", "0X" or "$", within the signed 32-bit range.
std::optional<std::int32_t> parseSettingsInteger(std::wstring_view text);

// Reads every key, in the file's order of reading; anything missing or
// unreadable takes its default. exeFolder ends with the path separator.
ClockSettings loadClockSettings(const ProfileStore& profile, const std::wstring& exeFolder);
// The same from another file than the one beside the program.
ClockSettings loadClockSettings(const ProfileStore& profile, const std::wstring& file, const std::wstring& exeFolder);

// Writes every key, in the file's order. The first key that cannot be written
// stops the writing with UserError "Impossible d'écrire dans <file>".
void saveClockSettings(ProfileStore& profile, const std::wstring& exeFolder,
                       const ClockSettings& settings);
void saveClockSettingsTo(ProfileStore& profile, const std::wstring& file, const ClockSettings& settings);

// What the user is told, once, when the settings first go to their own folder.
std::wstring settingsPlaceText(const std::wstring& file);

// The settings file over one run: read at start, written on confirmation
// and at the end. A file that is there but cannot be read at start gives
// every default, as a missing one does; when it can be read by the time of a
// writing, the settings the user has left as they were first take the file's
// values, so that the defaults that stood in for them do not replace them.
//
// The file beside the program is the first choice. Where the user may not
// write in the program's folder (under the programs' folder, on a read-only
// medium), the settings live in the user's own folder for the program, and
// are read from there at start once they are there. Where both files are
// there, the one written last is read.
class SettingsFile {
public:
    // userFolder ends with the path separator; empty, there is no other place.
    SettingsFile(ProfileStore& profile, FileSystem& files, std::wstring exeFolder, std::wstring userFolder);

    ClockSettings load();
    // Writes every key, after taking the file's values as said above
    // (settings then holds what was written). Throws UserError as
    // saveClockSettings does, naming the last place tried. Answers the file
    // written when the settings have just been put in the user's folder for
    // the first time, so that the user can be told where they are now.
    std::optional<std::wstring> save(ClockSettings& settings);
    // The user confirmed every setting as it stands (the options' "OK"):
    // from now on none of them is a stand-in for the file's own.
    void confirmAll() { standIns_.reset(); }

private:
    std::wstring programFile() const { return exeFolder_ + settingsFileName; }
    std::wstring userFile() const { return userFolder_ + settingsFileName; }
    bool programFolderWritable() const;

    ProfileStore& profile_;
    FileSystem& files_;
    std::wstring exeFolder_;
    std::wstring userFolder_;
    std::wstring readFrom_;  // the file read at start
    bool placeTold_ = false;
    std::optional<ClockSettings> standIns_;  // what start-up put in place of an unreadable file
};

}  // namespace orvane

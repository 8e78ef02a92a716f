#include "settings/clock_settings.hpp"

#include <array>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>
#include <variant>

#include "common/user_error.hpp"

namespace orvane {

namespace {

int digitValue(wchar_t c, int base) {
    int value = -1;
    if (c >= L'0' && c <= L'9') value = c - L'0';
    else if (c >= L'a' && c <= L'f') value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') value = c - L'A' + 10;
    return value < base ? value : -1;
}

std::wstring cut(std::wstring text) {
    if (text.size() > settingsTextLimit) text.resize(settingsTextLimit);
    return text;
}

std::wstring storedText(bool value) { return value ? L"1" : L"0"; }
std::wstring storedText(std::int32_t value) { return std::to_wstring(value); }
std::wstring storedText(const std::wstring& value) { return value; }

constexpr auto keysInWrittenOrder = [] {
    std::array<const ClockSettingKey*, std::size(clockSettingKeys)> order{};
    for (const ClockSettingKey& row : clockSettingKeys) order[row.writtenAt] = &row;
    return order;
}();

}  // namespace

std::optional<std::int32_t> parseSettingsInteger(std::wstring_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == L'-' || text.front() == L'+')) {
        negative = text.front() == L'-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with(L"0x") || text.starts_with(L"0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with(L"$")) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;

    // Accumulate in 64 bits and stop as soon as the value leaves the 32-bit
    // range, so that any length of digits is safe.
    constexpr long long limit = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
    long long magnitude = 0;
    for (wchar_t c : text) {
        const int digit = digitValue(c, base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

ClockSettings loadClockSettings(const ProfileStore& profile, const std::wstring& exeFolder) {
    return loadClockSettings(profile, exeFolder + settingsFileName, exeFolder);
}

ClockSettings loadClockSettings(const ProfileStore& profile, const std::wstring& file, const std::wstring& exeFolder) {
    ClockSettings s;
    for (const ClockSettingKey& row : clockSettingKeys) {
        auto text = [&](const std::wstring& fallback) {
            return cut(profile.read(file, settingsSection, row.key, fallback));
        };
        std::visit(
            [&](auto member) {
                auto& field = s.*member;
                using Field = std::remove_reference_t<decltype(field)>;
                if constexpr (std::is_same_v<Field, std::wstring>) {
                    const wchar_t* const inFolder = row.defaultInProgramFolder;
                    field = text(inFolder != nullptr ? exeFolder + inFolder : field);
                } else if (const auto number = parseSettingsInteger(text(L""))) {
                    if constexpr (std::is_same_v<Field, bool>) field = *number != 0;
                    else field = *number;
                }
            },
            row.member);
    }
    return s;
}

void saveClockSettings(ProfileStore& profile, const std::wstring& exeFolder,
                       const ClockSettings& settings) {
    saveClockSettingsTo(profile, exeFolder + settingsFileName, settings);
}

std::wstring settingsPlaceText(const std::wstring& file) {
    return L"Les réglages ne peuvent pas être enregistrés à côté du programme : ils le sont désormais dans " + file +
           L".";
}

void saveClockSettingsTo(ProfileStore& profile, const std::wstring& file, const ClockSettings& settings) {
    auto write = [&](const wchar_t* key, const std::wstring& value) {
        if (!profile.write(file, settingsSection, key, value))
            throw UserError(L"Impossible d'écrire dans " + file);
    };
    for (const ClockSettingKey* row : keysInWrittenOrder)
        std::visit([&](auto member) { write(row->key, storedText(settings.*member)); }, row->member);
}

SettingsFile::SettingsFile(ProfileStore& profile, FileSystem& files, std::wstring exeFolder, std::wstring userFolder)
    : profile_(profile), files_(files), exeFolder_(std::move(exeFolder)), userFolder_(std::move(userFolder)) {}

bool SettingsFile::programFolderWritable() const { return userFolder_.empty() || files_.canWrite(programFile()); }

ClockSettings SettingsFile::load() {
    // Of two files, the one written last: a run that could write beside the
    // program (started as administrator, the medium's write switch flipped)
    // and the runs that could not each left their changes in theirs. Written
    // together (or by a system that keeps no times), the user's file stands
    // for the program's while the program's cannot be written.
    const std::optional<FileStamp> program = files_.fileStamp(programFile());
    const std::optional<FileStamp> user = userFolder_.empty() ? std::nullopt : files_.fileStamp(userFile());
    const bool userLast = user && (!program || user->lastWrite > program->lastWrite ||
                                   (user->lastWrite == program->lastWrite && !programFolderWritable()));
    readFrom_ = userLast ? userFile() : programFile();
    const ClockSettings settings = loadClockSettings(profile_, readFrom_, exeFolder_);
    if (!profile_.readable(readFrom_)) standIns_ = settings;
    return settings;
}

std::optional<std::wstring> SettingsFile::save(ClockSettings& settings) {
    if (standIns_ && profile_.readable(readFrom_)) {
        ClockSettings merged = loadClockSettings(profile_, readFrom_, exeFolder_);
        auto keepChanged = [&](auto field) {
            if (settings.*field != standIns_.value().*field) merged.*field = settings.*field;
        };
        for (const ClockSettingKey& row : clockSettingKeys) std::visit(keepChanged, row.member);
        // From here on the program goes by the file, as if it had read it at start.
        settings = merged;
        standIns_.reset();
    }
    if (programFolderWritable()) {
        saveClockSettingsTo(profile_, programFile(), settings);
        readFrom_ = programFile();
        return std::nullopt;
    }
    // Told once: when the file is first made there, whichever run makes it.
    const bool firstThere = !placeTold_ && !files_.fileExists(userFile());
    if (!files_.makeFolder(userFolder_)) throw UserError(L"Impossible d'écrire dans " + userFile());
    saveClockSettingsTo(profile_, userFile(), settings);
    readFrom_ = userFile();
    if (!firstThere) return std::nullopt;
    placeTold_ = true;
    return userFile();
}

}  // namespace orvane

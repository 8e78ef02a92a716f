#include "settings/clock_settings.hpp"

#include <limits>
#include <utility>

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
    auto text = [&](const wchar_t* key, const std::wstring& fallback) {
        return cut(profile.read(file, settingsSection, key, fallback));
    };
    auto integer = [&](const wchar_t* key, std::int32_t fallback) {
        return parseSettingsInteger(text(key, L"")).value_or(fallback);
    };

    ClockSettings s;
    s.Bip = integer(L"Bip", 1) != 0;
    s.FrequenceBip = integer(L"FrequenceBip", 0);
    s.DureeBip = integer(L"DureeBip", 0);
    s.Musique = text(L"Musique", L"");
    s.Pendule = text(L"Pendule", exeFolder + defaultDialFileName);
    s.intensevibre = integer(L"intensevibre", 10);
    s.dureevibre = integer(L"dureevibre", 20);
    s.Couleur = integer(L"Couleur", 0);
    s.penwidth = integer(L"penwidth", 1);
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
    write(L"Bip", settings.Bip ? L"1" : L"0");
    write(L"FrequenceBip", std::to_wstring(settings.FrequenceBip));
    write(L"DureeBip", std::to_wstring(settings.DureeBip));
    write(L"Musique", settings.Musique);
    write(L"intensevibre", std::to_wstring(settings.intensevibre));
    write(L"dureevibre", std::to_wstring(settings.dureevibre));
    write(L"Pendule", settings.Pendule);
    write(L"Couleur", std::to_wstring(settings.Couleur));
    write(L"penwidth", std::to_wstring(settings.penwidth));
}

SettingsFile::SettingsFile(ProfileStore& profile, FileSystem& files, std::wstring exeFolder, std::wstring userFolder)
    : profile_(profile), files_(files), exeFolder_(std::move(exeFolder)), userFolder_(std::move(userFolder)) {}

bool SettingsFile::programFolderWritable() const { return userFolder_.empty() || files_.canWrite(programFile()); }

ClockSettings SettingsFile::load() {
    // The user's file stands for the program's only while the program's
    // cannot be written: once it can, the first choice is back.
    readFrom_ = !programFolderWritable() && files_.fileExists(userFile()) ? userFile() : programFile();
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
        keepChanged(&ClockSettings::Bip);
        keepChanged(&ClockSettings::FrequenceBip);
        keepChanged(&ClockSettings::DureeBip);
        keepChanged(&ClockSettings::Musique);
        keepChanged(&ClockSettings::Pendule);
        keepChanged(&ClockSettings::intensevibre);
        keepChanged(&ClockSettings::dureevibre);
        keepChanged(&ClockSettings::Couleur);
        keepChanged(&ClockSettings::penwidth);
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

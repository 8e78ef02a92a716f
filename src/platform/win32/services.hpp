#pragma once
// The real services, over the operating system.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/clock.hpp"
#include "platform/contrast.hpp"
#include "platform/files.hpp"
#include "platform/message_boxes.hpp"
#include "platform/profile.hpp"
#include "platform/shell.hpp"
#include "platform/tray_icon.hpp"

namespace orvane::win32 {

// FILETIME counts 100 ns from 1601-01-01; an Instant counts milliseconds from 1970-01-01.
inline constexpr std::int64_t fileTimeAt1970 = 116444736000000000;

// Where a zone's rules come from: the system's calls, or stand-ins in tests.
// Each call reads the registry (under Wine, through its server).
struct ZoneSource {
    DWORD(WINAPI* current)(PDYNAMIC_TIME_ZONE_INFORMATION) = GetDynamicTimeZoneInformation;
    BOOL(WINAPI* ofYear)(USHORT, PDYNAMIC_TIME_ZONE_INFORMATION, LPTIME_ZONE_INFORMATION) =
        GetTimeZoneInformationForYear;
};

// One zone's rules as the system gave them: those of each year, asked once
// for each year and kept. A zone whose automatic daylight saving is off
// (the user's switch, or a zone set the old way) keeps its own fixed dates,
// and standard time all year when it has none.
class SystemZoneRules final : public TimeZone {
public:
    SystemZoneRules(ZoneSource source, const DYNAMIC_TIME_ZONE_INFORMATION& identity)
        : source_(source), identity_(identity) {}
    LocalTime localAt(Instant t) const override;
    const DYNAMIC_TIME_ZONE_INFORMATION& identity() const { return identity_; }
    // The rules of a year; nothing when the system has none for it.
    std::optional<TIME_ZONE_INFORMATION> ofYear(WORD year) const;

private:
    ZoneSource source_;
    DYNAMIC_TIME_ZONE_INFORMATION identity_;
    mutable std::map<WORD, std::optional<TIME_ZONE_INFORMATION>> years_;
};

// The system's time zone. Its rules are read once and kept, and read again
// only when something may have changed them: the system said so (a change of
// time or of settings), the clock's own reading disagrees with them, or,
// once a minute, the zone's identity or this year's rules differ (another
// zone of the same offset, the daylight-saving switch, an update of the
// rules). The rules replaced stay whole for whoever kept them.
class SystemTimeZone final : public TimeZone {
public:
    SystemTimeZone() = default;
    explicit SystemTimeZone(ZoneSource source) : source_(source) {}
    LocalTime localAt(Instant t) const override { return kept()->localAt(t); }
    std::shared_ptr<const TimeZone> rules() const override { return kept(); }
    // Run after each read of the clock.
    void follow(const ClockReading& reading) const;
    // The system said that its time or its settings changed.
    void mayHaveChanged() const { changed_ = true; }

private:
    std::shared_ptr<const SystemZoneRules> kept() const;
    void readAgain(Instant now) const;

    ZoneSource source_;
    mutable std::shared_ptr<const SystemZoneRules> kept_;
    mutable bool changed_ = false;
    mutable std::optional<std::int64_t> checkedAtMs_;        // monotonic
    mutable std::optional<std::int64_t> disagreeingOffset_;  // seconds, already read again for
};

// Milliseconds between two looks at the zone's identity when nothing said it changed.
inline constexpr std::int64_t zoneIdentityCheckMs = 60 * 1000;

class SystemClock final : public Clock {
public:
    ClockReading read() const override;
    std::int64_t monotonicMilliseconds() const override;
    const TimeZone& zone() const override { return zone_; }
    void zoneMayHaveChanged() override { zone_.mayHaveChanged(); }

private:
    SystemTimeZone zone_;
};

class UserRegionalFormats final : public RegionalFormats {
public:
    std::wstring shortDate(const LocalTime& t) const override;
    std::wstring longTime(const LocalTime& t) const override;
};

class PrivateProfile final : public ProfileStore {
public:
    std::wstring read(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                      const std::wstring& fallback) const override;
    bool readable(const std::wstring& file) const override;
    bool write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
               const std::wstring& value) override;
};

class ShellOpen final : public Shell {
public:
    bool open(const std::wstring& path) override;
    bool hasProgramFor(const std::wstring& path) const override;
};

class SystemMessageBoxes final : public MessageBoxes {
public:
    int show(const std::wstring& text, const std::wstring& title, std::uint32_t style) override;
    int showOwnedBy(void* owner, const std::wstring& text, const std::wstring& title,
                    std::uint32_t style) override;
};

class DiskFiles final : public FileSystem {
public:
    DiskFiles() = default;
    DiskFiles(const DiskFiles&) = delete;
    DiskFiles& operator=(const DiskFiles&) = delete;
    ~DiskFiles() override;
    bool fileExists(const std::wstring& path) const override;
    std::optional<FileStamp> fileStamp(const std::wstring& path) const override;
    bool canWrite(const std::wstring& path) const override;
    bool makeFolder(const std::wstring& folder) override;

private:
    // The folder of the last file stamped, watched by the system: one look
    // at its change notification a stamp.
    struct FolderWatch {
        std::wstring folder;
        HANDLE change = INVALID_HANDLE_VALUE;
        std::uint64_t changes = 0;
    };
    mutable FolderWatch watch_;
    std::uint64_t folderChanges(const std::wstring& path) const;
};

// SPI_GETHIGHCONTRAST, and the system's window text colour that the theme sets.
class SystemHighContrast final : public HighContrast {
public:
    std::optional<std::uint32_t> textColour() const override;
};

class NotificationAreaIcon final : public TrayIcon {
public:
    bool add(void* window, unsigned id, unsigned callbackMessage, void* icon,
             const std::wstring& tip) override;
    void remove(void* window, unsigned id) override;
    void changeIcon(void* window, unsigned id, void* icon) override;
    void notify(void* window, unsigned id, const std::wstring& title, const std::wstring& text) override;
    void giveFocusBack(void* window, unsigned id) override;
    std::optional<IconPlace> place(void* window, unsigned id) override;

private:
    bool added_ = false;
};

// The window thread's single-threaded COM apartment, for the whole run: the
// shell may hand a file to extensions that need it, and asks for it before
// any of its calls.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// Icon number `index` of a program file, numbered as the shell numbers them
// (its icon groups in order), for the notification area, as its
// documentation asks: at the system's small icon size (LoadIconMetric,
// LIM_SMALL), which follows the system's scale rather than a window's;
// nullptr when there is none.
HICON extractTrayIcon(const std::wstring& file, unsigned index);

// The folder of the running executable, ending with the path separator.
std::wstring executableFolder();
std::wstring executablePath();
// The program's folder in the user's application data (%APPDATA%\Orvane\),
// not made here; empty when the system names no such folder.
std::wstring userProgramFolder();

}  // namespace orvane::win32

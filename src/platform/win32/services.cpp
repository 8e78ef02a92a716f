#include "platform/win32/services.hpp"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/ui/handles.hpp"
#include "platform/win32/file_bytes.hpp"
#include "platform/win32/long_paths.hpp"
#include "platform/win32/system_library.hpp"

namespace orvane::win32 {

namespace {

SYSTEMTIME toSystemTime(const LocalTime& t) {
    SYSTEMTIME st{};
    st.wYear = t.year;
    st.wMonth = t.month;
    st.wDay = t.day;
    st.wHour = t.hour;
    st.wMinute = t.minute;
    st.wSecond = t.second;
    st.wMilliseconds = t.millisecond;
    return st;
}

Instant instantOfFileTime(const FILETIME& file) {
    const auto ticks = static_cast<std::int64_t>((std::uint64_t{file.dwHighDateTime} << 32) | file.dwLowDateTime);
    return Instant{(ticks - fileTimeAt1970) / 10000};
}

FILETIME fileTimeOf(Instant t) {
    const auto ticks = static_cast<std::uint64_t>(t.ms * 10000 + fileTimeAt1970);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

LocalTime localTimeOf(const SYSTEMTIME& st) {
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

// A reading's seconds counted on its own wall clock.
std::int64_t wallSecondsOf(const LocalTime& t) {
    const SYSTEMTIME st = toSystemTime(t);
    FILETIME file{};
    if (!SystemTimeToFileTime(&st, &file)) return 0;
    return instantOfFileTime(file).seconds();
}

}  // namespace

ClockReading SystemClock::read() const {
    // One read of real time, and the wall clock of that same instant by the
    // zone's present offset (as the system's own local time is made).
    FILETIME utc;
    GetSystemTimeAsFileTime(&utc);
    FILETIME local;
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) GetLocalTime(&st);
    const ClockReading reading{localTimeOf(st), instantOfFileTime(utc), static_cast<std::int64_t>(GetTickCount64())};
    zone_.follow(reading);
    return reading;
}

namespace {

// The zone's own rules, fixed from year to year: those a zone set the old
// way holds, or none when daylight saving is off.
TIME_ZONE_INFORMATION fixedRules(const DYNAMIC_TIME_ZONE_INFORMATION& zone) {
    TIME_ZONE_INFORMATION rules{};
    rules.Bias = zone.Bias;
    if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) {
        rules.Bias += zone.StandardBias;
        return rules;
    }
    rules.StandardDate = zone.StandardDate;
    rules.StandardBias = zone.StandardBias;
    rules.DaylightDate = zone.DaylightDate;
    rules.DaylightBias = zone.DaylightBias;
    return rules;
}

bool sameRules(const TIME_ZONE_INFORMATION& a, const TIME_ZONE_INFORMATION& b) {
    auto date = [](const SYSTEMTIME& t) {
        return std::make_tuple(t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond);
    };
    return a.Bias == b.Bias && a.StandardBias == b.StandardBias && a.DaylightBias == b.DaylightBias &&
           date(a.StandardDate) == date(b.StandardDate) && date(a.DaylightDate) == date(b.DaylightDate);
}

bool sameZone(const DYNAMIC_TIME_ZONE_INFORMATION& a, const DYNAMIC_TIME_ZONE_INFORMATION& b) {
    return std::wstring_view(a.TimeZoneKeyName) == std::wstring_view(b.TimeZoneKeyName) &&
           a.DynamicDaylightTimeDisabled == b.DynamicDaylightTimeDisabled && sameRules(fixedRules(a), fixedRules(b));
}

}  // namespace

std::optional<TIME_ZONE_INFORMATION> SystemZoneRules::ofYear(WORD year) const {
    const auto found = years_.find(year);
    if (found != years_.end()) return found->second;
    // Asked by the zone's name, not as "the current zone": kept rules stay
    // those of their zone after the system moves to another.
    DYNAMIC_TIME_ZONE_INFORMATION zone = identity_;
    TIME_ZONE_INFORMATION rules{};
    std::optional<TIME_ZONE_INFORMATION> known;
    if (source_.ofYear(year, &zone, &rules) != FALSE) known = rules;
    return years_[year] = known;
}

LocalTime SystemZoneRules::localAt(Instant t) const {
    const FILETIME file = fileTimeOf(t);
    SYSTEMTIME utc{};
    if (!FileTimeToSystemTime(&file, &utc)) return {};
    SYSTEMTIME local{};
    // Automatic daylight saving off: the zone's own fixed dates, as
    // documented; the rules of a year know nothing of the switch.
    const bool fixed = identity_.DynamicDaylightTimeDisabled || identity_.TimeZoneKeyName[0] == L'\0';
    // The rules of the year the instant falls in; near New Year the local
    // year may be the other one, whose rules are then the ones to use.
    WORD year = utc.wYear;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::optional<TIME_ZONE_INFORMATION> known = fixed ? std::nullopt : ofYear(year);
        const TIME_ZONE_INFORMATION rules = known ? *known : fixedRules(identity_);
        if (!SystemTimeToTzSpecificLocalTime(&rules, &utc, &local)) return {};
        if (fixed || local.wYear == year) break;
        year = local.wYear;
    }
    local.wMilliseconds = utc.wMilliseconds;
    return localTimeOf(local);
}

std::shared_ptr<const SystemZoneRules> SystemTimeZone::kept() const {
    if (!kept_) {
        DYNAMIC_TIME_ZONE_INFORMATION identity{};
        if (source_.current(&identity) == TIME_ZONE_ID_INVALID) identity = {};
        kept_ = std::make_shared<const SystemZoneRules>(source_, identity);
    }
    return kept_;
}

void SystemTimeZone::readAgain(Instant now) const {
    const std::shared_ptr<const SystemZoneRules> old = kept();
    DYNAMIC_TIME_ZONE_INFORMATION identity{};
    if (source_.current(&identity) == TIME_ZONE_ID_INVALID) return;
    auto renewed = std::make_shared<const SystemZoneRules>(source_, identity);
    bool same = sameZone(identity, old->identity());
    if (same && !identity.DynamicDaylightTimeDisabled && identity.TimeZoneKeyName[0] != L'\0') {
        // The same zone: its rules of this year may have been updated.
        FILETIME file = fileTimeOf(now);
        SYSTEMTIME utc{};
        FileTimeToSystemTime(&file, &utc);
        const auto before = old->ofYear(utc.wYear), after = renewed->ofYear(utc.wYear);
        same = before.has_value() == after.has_value() && (!before || sameRules(*before, *after));
    }
    if (!same) kept_ = std::move(renewed);
}

void SystemTimeZone::follow(const ClockReading& reading) const {
    if (!kept_) checkedAtMs_ = reading.monotonicMs;  // read just now
    const std::shared_ptr<const SystemZoneRules> rules = kept();
    bool readNow = std::exchange(changed_, false);
    // The reading's own offset against the rules': a reading taken just as
    // the clocks change may carry the other side's, so each offset that
    // disagrees is read again for once.
    const std::int64_t offset = wallSecondsOf(reading.local) - reading.utc.seconds();
    if (offset == wallSecondsOf(rules->localAt(reading.utc)) - reading.utc.seconds()) {
        disagreeingOffset_.reset();
    } else if (disagreeingOffset_ != offset) {
        disagreeingOffset_ = offset;
        readNow = true;
    }
    if (!checkedAtMs_ || reading.monotonicMs - *checkedAtMs_ >= zoneIdentityCheckMs ||
        reading.monotonicMs < *checkedAtMs_)
        readNow = true;
    if (!readNow) return;
    checkedAtMs_ = reading.monotonicMs;
    readAgain(reading.utc);
}

std::int64_t SystemClock::monotonicMilliseconds() const {
    // Counts on while the computer sleeps.
    return static_cast<std::int64_t>(GetTickCount64());
}

std::wstring UserRegionalFormats::shortDate(const LocalTime& t) const {
    const SYSTEMTIME st = toSystemTime(t);
    wchar_t text[128];
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, 128, nullptr) == 0)
        return L"";
    return text;
}

std::wstring UserRegionalFormats::longTime(const LocalTime& t) const {
    const SYSTEMTIME st = toSystemTime(t);
    wchar_t text[128];
    if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, text, 128) == 0) return L"";
    return text;
}

bool PrivateProfile::readable(const std::wstring& file) const {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        // Too long for the settings calls, even by short names.
        return pathForOlderCalls(file).has_value();
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

namespace {

// Whether the system's 8-bit code page holds the text letter for letter: the
// profile functions would write any other letter as "?", or as a look-alike
// ("Ł" as "L"), and the path it was part of would be lost.
bool codePageHolds(const std::wstring& text) {
    if (text.empty() || GetACP() == CP_UTF8) return true;
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, &lost);
    return length > 0 && !lost;
}

// Whether the bytes are UTF-8 as a text editor saves it: after its
// byte-order mark, or without one (Notepad's choice for a new file), letters
// beyond ASCII in well-formed sequences. Text in an 8-bit code page with
// such letters is almost never well-formed UTF-8.
bool savedAsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return true;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
    if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return (static_cast<unsigned char>(c) & 0x80) != 0; }))
        return false;
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                               0) > 0;
}

// The file's text: in the system's 8-bit code page, as the profile functions
// read it, in UTF-8 as savedAsUtf8 tells it, or in UTF-16 big-endian after
// its byte-order mark (Windows takes those for 8-bit text they never were).
// Nothing when it cannot be decoded.
std::optional<std::wstring> decodeProfileText(std::string_view bytes) {
    std::wstring text;
    if (bytes.starts_with("\xFE\xFF")) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
        return text;
    }
    const bool utf8 = savedAsUtf8(bytes);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.empty()) return text;
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const int size = static_cast<int>(bytes.size());
    text.resize(static_cast<std::size_t>(MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0)));
    if (text.empty() || MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), static_cast<int>(text.size())) == 0)
        return std::nullopt;
    return text;
}

// A new file in the folder holding the text in UTF-16 little-endian after its
// byte-order mark (the system's wide strings are that: written as they are),
// on disk; its name, or nothing when it cannot be written.
std::optional<std::wstring> utf16FileIn(const std::wstring& folder, const std::wstring& text) {
    const std::wstring utf16 = L'\xFEFF' + text;
    // A name of this process, moment and attempt: the system's own temporary
    // names take no folder longer than MAX_PATH less 14 characters.
    std::wstring temporary;
    HANDLE out = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && out == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = folder + (folder.empty() || folder.back() == L'\\' ? L"" : L"\\") + L"~ini" +
                    std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64()) + L"-" +
                    std::to_wstring(attempt) + L".tmp";
        out = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return std::nullopt;
    }
    if (out == INVALID_HANDLE_VALUE) return std::nullopt;
    const DWORD size = static_cast<DWORD>(utf16.size() * sizeof(wchar_t));
    DWORD put = 0;
    const bool written = WriteFile(out, utf16.data(), size, &put, nullptr) && put == size && FlushFileBuffers(out);
    CloseHandle(out);
    if (!written) {
        DeleteFileW(temporary.c_str());
        return std::nullopt;
    }
    return temporary;
}

// Turns the file into UTF-16 after its byte-order mark, an encoding the
// profile functions keep, with every line of it as it was. A file already in
// UTF-16 is left alone; a missing one becomes the mark alone. The new text
// goes to a file of its own beside it, which then takes the file's name in
// one step: an interrupted writing leaves the old file or the new one, never
// half of one. False, with the file untouched, when it cannot be done.
bool turnToUtf16(const std::wstring& file) {
    // Whatever the system still holds of the file goes to disk first.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
    const DWORD attributes = GetFileAttributesW(file.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    const std::optional<std::string> bytes = exists ? fileBytes(file) : std::string();
    if (!bytes) return false;
    if (bytes->starts_with("\xFF\xFE")) return true;
    // The profile functions may not write into a read-only file: nor may we replace it.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    const std::optional<std::wstring> text = decodeProfileText(*bytes);
    if (!text) return false;
    const std::size_t separator = file.find_last_of(L"\\/");
    const std::optional<std::wstring> temporary =
        utf16FileIn(separator == std::wstring::npos ? L"." : file.substr(0, separator + 1), *text);
    if (!temporary) return false;
    // A hidden settings file stays hidden.
    const DWORD kept = exists ? attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM) : 0;
    if (kept != 0) SetFileAttributesW(temporary->c_str(), kept);
    if (!MoveFileExW(temporary->c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary->c_str());
        return false;
    }
    return true;
}

// A file saved as UTF-8, which the profile functions would read through the
// code page (and Windows, after a mark, not at all), as one they read as it
// was written: turned into UTF-16 in its place, or, where it may not be
// changed, copied so into the temporary folder. Nothing for any other file.
class Utf16Copy {
public:
    explicit Utf16Copy(std::wstring name) : path(std::move(name)) {}
    Utf16Copy(const Utf16Copy&) = delete;
    Utf16Copy& operator=(const Utf16Copy&) = delete;
    ~Utf16Copy() { DeleteFileW(path.c_str()); }
    const std::wstring path;
};
std::optional<Utf16Copy> readableAsWritten(const std::wstring& file) {
    const std::optional<std::string> bytes = fileBytes(file);
    if (!bytes || !savedAsUtf8(*bytes) || turnToUtf16(file)) return std::nullopt;
    const std::optional<std::wstring> text = decodeProfileText(*bytes);
    std::wstring folder(GetTempPathW(0, nullptr), L'\0');
    folder.resize(folder.empty() ? 0 : GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
    if (!text || folder.empty()) return std::nullopt;
    std::optional<std::wstring> copy = utf16FileIn(folder, *text);
    if (!copy) return std::nullopt;
    return std::optional<Utf16Copy>(std::in_place, std::move(*copy));
}

}  // namespace

// The wide calls read a file in the system's 8-bit code page, as existing
// files are, or in UTF-16 after its byte-order mark, and keep it in the
// encoding it has; a folder name outside that code page still works. A file
// a text editor saved in UTF-8 is read as it was written.
std::wstring PrivateProfile::read(const std::wstring& longFile, const std::wstring& section,
                                  const std::wstring& key, const std::wstring& fallback) const {
    const std::optional<std::wstring> spelt = pathForOlderCalls(longFile);
    if (!spelt) return fallback;
    const std::wstring& file = *spelt;
    const std::optional<Utf16Copy> copy = readableAsWritten(file);
    // Room for the longest value and its terminating null.
    std::vector<wchar_t> buffer(profileValueLimit + 1);
    const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                                  buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  (copy ? copy->path : file).c_str());
    return std::wstring(buffer.data(), length);
}

bool PrivateProfile::write(const std::wstring& longFile, const std::wstring& section,
                           const std::wstring& key, const std::wstring& value) {
    const std::optional<std::wstring> spelt = pathForOlderCalls(longFile);
    if (!spelt) return false;
    const std::wstring& file = *spelt;
    // The file keeps its encoding until a value needs more than its code page.
    if (!(codePageHolds(section) && codePageHolds(key) && codePageHolds(value)) && !turnToUtf16(file)) return false;
    return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != FALSE;
}

bool ShellOpen::open(const std::wstring& path) {
    // Beyond MAX_PATH, the shell is left to say what it makes of the path.
    return lazy::shellOpen(L"OPEN", pathForOlderCalls(path).value_or(path).c_str(), SW_SHOWNORMAL);
}

bool ShellOpen::hasProgramFor(const std::wstring& path) const {
    const std::size_t dot = path.rfind(L'.');
    return dot != std::wstring::npos && path.find_first_of(L"\\/", dot) == std::wstring::npos &&
           lazy::programRegisteredFor(path.substr(dot).c_str());
}

ComApartment::ComApartment()
    : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ComApartment::~ComApartment() {
    if (initialised_) CoUninitialize();
}

int SystemMessageBoxes::show(const std::wstring& text, const std::wstring& title, std::uint32_t style) {
    // Task-modal: every window of the program waits for the box, as the user expects.
    return MessageBoxW(nullptr, text.c_str(), title.c_str(), style | MB_TASKMODAL);
}

namespace {

// The program's other top-level windows, disabled while an owned box is up:
// the system does that for a task-modal box only when it has no owner.
class OtherWindowsWait {
public:
    explicit OtherWindowsWait(HWND owner) : owner_(owner) {
        EnumThreadWindows(GetCurrentThreadId(), disable, reinterpret_cast<LPARAM>(this));
    }
    ~OtherWindowsWait() {
        for (const HWND window : disabled_)
            if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    OtherWindowsWait(const OtherWindowsWait&) = delete;
    OtherWindowsWait& operator=(const OtherWindowsWait&) = delete;

private:
    static BOOL CALLBACK disable(HWND window, LPARAM self) {
        auto* wait = reinterpret_cast<OtherWindowsWait*>(self);
        if (window != wait->owner_ && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            wait->disabled_.push_back(window);
        }
        return TRUE;
    }
    HWND owner_;
    std::vector<HWND> disabled_;
};

}  // namespace

int SystemMessageBoxes::showOwnedBy(void* owner, const std::wstring& text, const std::wstring& title,
                                    std::uint32_t style) {
    const HWND window = static_cast<HWND>(owner);
    if (window == nullptr || !IsWindow(window)) return show(text, title, style);
    // The box disables its owner itself; the other windows wait as for a
    // task-modal box.
    const OtherWindowsWait others(window);
    return MessageBoxW(window, text.c_str(), title.c_str(), style | MB_APPLMODAL);
}

bool DiskFiles::fileExists(const std::wstring& path) const {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {
// The answer of the system's own query of a file by name: the change time
// that the documented calls leave out (FILE_NETWORK_OPEN_INFORMATION).
struct FileTimesAndSize {
    LARGE_INTEGER creation, lastAccess, lastWrite, change, allocation, size;
    ULONG attributes;
};
struct CountedName {
    USHORT length, capacity;
    PWSTR buffer;
};
struct NameToQuery {
    ULONG length;
    HANDLE root;
    CountedName* name;
    ULONG attributes;
    PVOID security, quality;
};
using QueryByName = LONG WINAPI(NameToQuery*, FileTimesAndSize*);
constexpr ULONG caseInsensitive = 0x40;  // OBJ_CASE_INSENSITIVE

// "C:\x", "\\server\share\x" or "\\?\C:\x" in the system's own
// spelling, "\??\C:\x" or "\??\UNC\server\share\x".
std::wstring systemPath(const std::wstring& path) {
    const DWORD length = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0) return {};
    std::wstring full(length, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
    if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0) return L"\\??\\" + full.substr(4);
    if (full.rfind(L"\\\\", 0) == 0) return L"\\??\\UNC\\" + full.substr(2);
    return L"\\??\\" + full;
}

// The query, where the system has it.
QueryByName* const queryByNameCall = reinterpret_cast<QueryByName*>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryFullAttributesFile")));

// Nothing for a missing file or a name the system cannot take.
std::optional<FileTimesAndSize> queryByName(QueryByName* query, const std::wstring& path) {
    std::wstring name = systemPath(path);
    if (name.empty() || name.size() * sizeof(wchar_t) > 0xFFFE) return std::nullopt;
    CountedName counted{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    NameToQuery request{sizeof(NameToQuery), nullptr, &counted, caseInsensitive, nullptr, nullptr};
    FileTimesAndSize answer{};
    if (query(&request, &answer) < 0) return std::nullopt;
    return answer;
}
}  // namespace

std::optional<FileStamp> DiskFiles::fileStamp(const std::wstring& path) const {
    FileStamp stamp;
    if (queryByNameCall != nullptr) {
        const std::optional<FileTimesAndSize> file = queryByName(queryByNameCall, path);
        if (!file || (file->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return std::nullopt;
        stamp = {static_cast<std::uint64_t>(file->size.QuadPart), file->lastWrite.QuadPart, file->change.QuadPart};
    } else {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            return std::nullopt;
        stamp = {(std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                 static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                           data.ftLastWriteTime.dwLowDateTime)};
    }
    // A volume that keeps no change time (or a system that cannot give it):
    // the folder's change notification tells of a twin instead.
    if (stamp.lastChange == 0) stamp.folderChanges = folderChanges(path);
    return stamp;
}

namespace {
// The answers that say the user may not write there. Anything else (a file
// held by another program for the moment above all) is left to the writing
// itself, which says what went wrong.
bool writingRefused(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT || error == ERROR_NETWORK_ACCESS_DENIED ||
           error == ERROR_PATH_NOT_FOUND || error == ERROR_NOT_SUPPORTED;
}
}  // namespace

bool DiskFiles::canWrite(const std::wstring& path) const {
    // The settings calls take no longer path than their short spelling.
    if (!pathForOlderCalls(path)) return false;
    // A folder in the file's place is no question of rights: its writing
    // fails and says so, as it always has.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return true;
    constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // Opened for writing and closed at once: the file is not changed.
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, shareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    if (const DWORD error = GetLastError(); error != ERROR_FILE_NOT_FOUND) return !writingRefused(error);
    // A missing file: what its writing would do first is create a file in
    // the folder. The trial one has a name of this process and moment, and
    // the system deletes it when it is closed, even if the program ends here.
    const std::wstring folder = path.substr(0, path.find_last_of(L"\\/") + 1);
    const std::wstring trial = folder + L"~orvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount64()) + L".tmp";
    file = CreateFileW(trial.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return true;
    }
    return !writingRefused(GetLastError());
}

bool DiskFiles::makeFolder(const std::wstring& folder) {
    std::wstring path = folder;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    if (path.empty()) return false;
    if (CreateDirectoryW(path.c_str(), nullptr)) return true;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    if (error != ERROR_PATH_NOT_FOUND) return false;
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos || !makeFolder(path.substr(0, separator + 1))) return false;
    return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

DiskFiles::~DiskFiles() {
    if (watch_.change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(watch_.change);
}

std::uint64_t DiskFiles::folderChanges(const std::wstring& path) const {
    const std::size_t separator = path.find_last_of(L"\\/");
    const std::wstring folder = separator == std::wstring::npos ? L"." : path.substr(0, separator + 1);
    if (folder != watch_.folder) {
        if (watch_.change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(watch_.change);
        watch_.folder = folder;
        watch_.change = FindFirstChangeNotificationW(folder.c_str(), FALSE,
                                                     FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                                         FILE_NOTIFY_CHANGE_LAST_WRITE);
    }
    // Any change in the folder counts: the file is read again once for a
    // neighbour's change, which is rare and costs one read.
    if (watch_.change != INVALID_HANDLE_VALUE && WaitForSingleObject(watch_.change, 0) == WAIT_OBJECT_0) {
        ++watch_.changes;
        FindNextChangeNotification(watch_.change);
    }
    return watch_.changes;
}

std::optional<std::uint32_t> SystemHighContrast::textColour() const {
    HIGHCONTRASTW theme{};
    theme.cbSize = sizeof theme;
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof theme, &theme, 0) ||
        (theme.dwFlags & HCF_HIGHCONTRASTON) == 0)
        return std::nullopt;
    return GetSysColor(COLOR_WINDOWTEXT);
}

bool NotificationAreaIcon::add(void* window, unsigned id, unsigned callbackMessage, void* icon,
                               const std::wstring& tip) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window);
    data.uID = id;
    // Version 4 hides the standard tip unless asked to show it.
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = static_cast<HICON>(icon);
    lstrcpynW(data.szTip, tip.c_str(), static_cast<int>(std::size(data.szTip)));
    added_ = true;
    if (!lazy::notifyIcon(NIM_ADD, &data)) return false;
    // With the first version, Enter or Space on the icon arrives as a right
    // click and the menu key as nothing; version 4 tells the keyboard's
    // gestures apart and where the icon is. A shell that refuses it keeps
    // sending the first version's messages, which the window reads too.
    data.uVersion = NOTIFYICON_VERSION_4;
    lazy::notifyIcon(NIM_SETVERSION, &data);
    return true;
}

std::optional<IconPlace> NotificationAreaIcon::place(void* window, unsigned id) {
    if (!added_) return std::nullopt;
    NOTIFYICONIDENTIFIER icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = static_cast<HWND>(window);
    icon.uID = id;
    RECT where{};
    if (!lazy::notifyIconRect(&icon, &where)) return std::nullopt;
    return IconPlace{where.left, where.top, where.right, where.bottom};
}

void NotificationAreaIcon::notify(void* window, unsigned id, const std::wstring& title, const std::wstring& text) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window);
    data.uID = id;
    data.uFlags = NIF_INFO;
    data.dwInfoFlags = NIIF_INFO;
    lstrcpynW(data.szInfoTitle, title.c_str(), static_cast<int>(std::size(data.szInfoTitle)));
    lstrcpynW(data.szInfo, text.c_str(), static_cast<int>(std::size(data.szInfo)));
    lazy::notifyIcon(NIM_MODIFY, &data);
}

void NotificationAreaIcon::giveFocusBack(void* window, unsigned id) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window);
    data.uID = id;
    lazy::notifyIcon(NIM_SETFOCUS, &data);
}

void NotificationAreaIcon::remove(void* window, unsigned id) {
    // Nothing to remove from a tray never used; the shell need not be loaded for it.
    if (!added_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window);
    data.uID = id;
    lazy::notifyIcon(NIM_DELETE, &data);
}

void NotificationAreaIcon::changeIcon(void* window, unsigned id, void* icon) {
    if (!added_) return;
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = static_cast<HWND>(window);
    data.uID = id;
    data.uFlags = NIF_ICON;
    data.hIcon = static_cast<HICON>(icon);
    lazy::notifyIcon(NIM_MODIFY, &data);
}

namespace {
struct IconSearch {
    unsigned wanted;
    unsigned seen;
    HICON icon;
};

BOOL CALLBACK takeIconGroup(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR state) {
    auto* search = reinterpret_cast<IconSearch*>(state);
    if (search->seen++ != search->wanted) return TRUE;
    // The notification area shows small icons: the image of the group drawn
    // for that size at the system's scale, rather than a large one shrunk.
    // Common controls 6 only: a program started without them makes do with the metric's size.
    using Metric = HRESULT WINAPI(HINSTANCE, PCWSTR, int, HICON*);
    static auto* const loadIconMetric = reinterpret_cast<Metric*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconMetric")));
    if (loadIconMetric != nullptr && SUCCEEDED(loadIconMetric(module, name, LIM_SMALL, &search->icon))) return FALSE;
    search->icon = static_cast<HICON>(LoadImageW(module, name, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    return FALSE;
}
}  // namespace

HICON extractTrayIcon(const std::wstring& file, unsigned index) {
    // The icon groups of a program in their order, as the shell numbers them,
    // read without loading the shell itself.
    const HMODULE module = LoadLibraryExW(pathForOlderCalls(file).value_or(file).c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) return nullptr;
    IconSearch search{index, 0, nullptr};
    EnumResourceNamesW(module, MAKEINTRESOURCEW(14), takeIconGroup, reinterpret_cast<LONG_PTR>(&search));  // RT_GROUP_ICON
    FreeLibrary(module);
    return search.icon;
}

std::wstring executablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring userProgramFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return L"";
        if (length < buffer.size()) {
            std::wstring folder(buffer.data(), length);
            if (folder.back() != L'\\') folder += L'\\';
            return folder + L"Orvane\\";
        }
        buffer.resize(length);
    }
}

std::wstring executableFolder() {
    const std::wstring path = executablePath();
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

}  // namespace orvane::win32

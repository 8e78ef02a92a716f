#pragma once
// Fake services for window tests: time that tests move, boxes that answer at
// once, and records of what the program asked of the shell and the tray.
#include <cstdio>
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/calendar.hpp"
#include "platform/choosers.hpp"
#include "platform/clock.hpp"
#include "platform/contrast.hpp"
#include "platform/file_chooser.hpp"
#include "platform/random.hpp"
#include "platform/sound.hpp"
#include "platform/file_search.hpp"
#include "platform/files.hpp"
#include "platform/message_boxes.hpp"
#include "platform/plugin_libraries.hpp"
#include "platform/power.hpp"
#include "platform/shell.hpp"
#include "platform/tray_icon.hpp"
#include "support/time_zones.hpp"

namespace orvane::testing {

// A local reading moved by a number of milliseconds, across days, months and years.
inline LocalTime addMilliseconds(const LocalTime& t, std::int64_t ms) {
    return wallReadingAt(Instant{wallSeconds(t) * 1000 + t.millisecond + ms}, 0);
}

// Real time, a zone that tells its wall clock (Paris, never changing its
// clocks, unless a test gives another) and the count that never jumps.
class FakeClock final : public Clock {
public:
    FakeClock() { setLocal({2026, 12, 7, 10, 30, 15, 250}); }
    ClockReading read() const override {
        return {readingOffset ? wallReadingAt(utc, *readingOffset) : zone_->localAt(utc), utc, monotonic};
    }
    std::int64_t monotonicMilliseconds() const override { return monotonic; }
    const TimeZone& zone() const override { return *zone_; }
    // Real time passing: both clocks move.
    void advance(std::int64_t ms) {
        utc.ms += ms;
        monotonic += ms;
    }
    // The system time set to a wall reading (by hand: the monotonic count
    // stays where it is).
    void setLocal(const LocalTime& t) { utc = instantOf(*zone_, t); }
    // Another zone, the wall reading kept.
    void useZone(const TimeZone& zone) {
        const LocalTime shown = now();
        zone_ = &zone;
        setLocal(shown);
    }
    // The user (or the system) changes the zone: real time goes on as it
    // was, the wall clock jumps.
    void changeZone(const TimeZone& zone) { zone_ = &zone; }
    void zoneMayHaveChanged() override { ++zoneNotices; }
    int zoneNotices = 0;  // times the program was told to read the zone again
    Instant utc;
    std::int64_t monotonic = 0;
    // The system's reading made with another offset than the zone's (one
    // taken just as the clocks change carries the other side's).
    std::optional<std::int64_t> readingOffset;

private:
    FixedZone winterParis_{3600};
    const TimeZone* zone_ = &winterParis_;
};

// French formats, whatever the machine's settings.
class FakeFormats final : public RegionalFormats {
public:
    std::wstring shortDate(const LocalTime& t) const override {
        wchar_t text[32];
        std::swprintf(text, 32, dateFormat, t.day, t.month, t.year);
        return text;
    }
    const wchar_t* dateFormat = L"%02u/%02u/%04u";  // day, month, year
    std::wstring longTime(const LocalTime& t) const override {
        wchar_t text[32];
        std::swprintf(text, 32, L"%02u:%02u:%02u", t.hour, t.minute, t.second);
        return text;
    }
};

class FakeBoxes final : public MessageBoxes {
public:
    struct Shown {
        std::wstring text, title;
        std::uint32_t style;
        void* owner = nullptr;
    };
    int show(const std::wstring& text, const std::wstring& title, std::uint32_t style) override {
        return showOwnedBy(nullptr, text, title, style);
    }
    int showOwnedBy(void* owner, const std::wstring& text, const std::wstring& title, std::uint32_t style) override {
        shown.push_back({text, title, style, owner});
        if (log != nullptr) log->push_back(L"box " + text);
        // A real box runs its own message loop: a test may run one here.
        if (whileShown) whileShown(shown.back());
        return answer;
    }
    std::vector<Shown> shown;
    int answer = box::answerOk;
    std::function<void(const Shown&)> whileShown;
    std::vector<std::wstring>* log = nullptr;
};

class FakeShell final : public Shell {
public:
    bool open(const std::wstring& path) override {
        opened.push_back(path);
        if (log != nullptr) log->push_back(L"open " + path);
        return promptsForTheUnknown || hasProgramFor(path);
    }
    bool hasProgramFor(const std::wstring& path) const override {
        const std::size_t dot = path.rfind(L'.');
        return dot == std::wstring::npos || noProgramFor.count(path.substr(dot)) == 0;
    }
    std::vector<std::wstring> opened;  // every open asked for, opened or not
    std::set<std::wstring> noProgramFor;  // extensions (".doc") the computer has no program for
    // Windows 11: for a kind with no program, its own prompt, called a success.
    bool promptsForTheUnknown = false;
    std::vector<std::wstring>* log = nullptr;
};

class FakeFiles final : public FileSystem {
public:
    bool fileExists(const std::wstring& path) const override { return files.count(path) != 0; }
    // A listed file's stamp is the one on disk, where the tests write the
    // pictures that the program reads.
    std::optional<FileStamp> fileStamp(const std::wstring& path) const override {
        if (files.count(path) == 0) return std::nullopt;
        if (const auto written = lastWrites.find(path); written != lastWrites.end()) return FileStamp{0, written->second};
        if (disk != nullptr) return disk->fileStamp(path);
        std::error_code error;
        const std::filesystem::path file(path);
        const auto size = std::filesystem::file_size(file, error);
        if (error) return FileStamp{};
        return FileStamp{size, static_cast<std::int64_t>(
                                   std::filesystem::last_write_time(file, error).time_since_epoch().count())};
    }
    // Files in these folders (ending with the separator) cannot be written,
    // nor can these folders be made.
    bool canWrite(const std::wstring& path) const override {
        return unwritableFolders.count(path.substr(0, path.find_last_of(L"\\/") + 1)) == 0;
    }
    bool makeFolder(const std::wstring& folder) override {
        madeFolders.push_back(folder);
        return unwritableFolders.count(folder) == 0;
    }
    std::set<std::wstring> files;
    // Write times of listed files, where a test gives them.
    std::map<std::wstring, std::int64_t> lastWrites;
    // The system's own stamps, for the listed files, where a test needs them.
    const FileSystem* disk = nullptr;
    std::set<std::wstring> unwritableFolders;
    std::vector<std::wstring> madeFolders;
};

class FakeTray final : public TrayIcon {
public:
    bool add(void* window, unsigned id, unsigned callbackMessage, void* icon, const std::wstring& tip) override {
        ++adds;
        if (refuses) return false;
        if (present) ++doubleAdds;
        present = true;
        last = {window, id, callbackMessage, icon, tip};
        return true;
    }
    void remove(void*, unsigned) override {
        ++removes;
        present = false;
    }
    void changeIcon(void*, unsigned, void* icon) override {
        if (present) last.icon = icon;
        ++iconChanges;
    }
    void notify(void*, unsigned, const std::wstring& title, const std::wstring& text) override {
        if (present) notices.push_back({title, text});
    }
    void giveFocusBack(void*, unsigned) override { ++focusGivenBack; }
    std::optional<IconPlace> place(void*, unsigned) override { return present ? shownAt : std::nullopt; }
    std::optional<IconPlace> shownAt;  // where the shell says the icon is
    bool refuses = false;  // the shell is busy or restarting
    std::vector<std::pair<std::wstring, std::wstring>> notices;  // title and text, shown by the icon
    struct Registration {
        void* window = nullptr;
        unsigned id = 0, callbackMessage = 0;
        void* icon = nullptr;
        std::wstring tip;
    } last;
    bool present = false;
    int adds = 0, removes = 0, doubleAdds = 0, iconChanges = 0, focusGivenBack = 0;  // adds: every one asked for, refused or not
};

class FakeSound final : public Sound {
public:
    void beep(int frequency, int durationMs) override {
        beeps.push_back({frequency, durationMs});
        if (log != nullptr) log->push_back(L"beep " + std::to_wstring(frequency) + L" " + std::to_wstring(durationMs));
    }
    std::optional<std::wstring> play(const std::wstring& path) override {
        played.push_back(path);
        if (log != nullptr) log->push_back(L"play " + path);
        return failure;
    }
    std::vector<std::pair<int, int>> beeps;
    std::vector<std::wstring> played;
    std::optional<std::wstring> failure;  // the error text every play gives
    std::vector<std::wstring>* log = nullptr;
};

// Gives the listed numbers, then 0; tests pick the shake they want.
class FakeRandom final : public Random {
public:
    void reseed() override { ++reseeds; }
    int below(int n) override {
        int value = 0;
        if (!values.empty()) {
            value = values.front();
            values.pop_front();
        }
        return n > 0 ? value % n : 0;
    }
    std::deque<int> values;
    int reseeds = 0;
};

// Answers with the prepared choices in turn, then with `answer` (nothing:
// the user cancels), and records how it was asked.
class FakeFileChooser final : public FileChooser {
public:
    struct Request {
        void* owner;
        std::wstring current, filter;
    };
    std::optional<std::wstring> open(void* owner, const std::wstring& current, const std::wstring& filter) override {
        asked.push_back({owner, current, filter});
        if (answers.empty()) return answer;
        std::optional<std::wstring> next = answers.front();
        answers.erase(answers.begin());
        return next;
    }
    std::vector<std::optional<std::wstring>> answers;
    std::optional<std::wstring> answer;
    std::vector<Request> asked;
};

class FakeColorChooser final : public ColorChooser {
public:
    std::optional<std::uint32_t> choose(void*, std::uint32_t current) override {
        shownWith.push_back(current);
        return answer;
    }
    std::optional<std::uint32_t> answer;
    std::vector<std::uint32_t> shownWith;
};

// A folder listing that tests write; it remembers the patterns asked for.
class FakeFileSearch final : public FileSearch {
public:
    std::vector<std::wstring> find(const std::wstring& pattern) const override {
        searched.push_back(pattern);
        return names;
    }
    std::vector<std::wstring> names;
    mutable std::vector<std::wstring> searched;
};

// Libraries by full path, each told whether it loads, whether it has the
// entry point and how a call into it ends.
class FakeLibraries final : public PluginLibraries {
public:
    struct Library {
        bool loads = true;
        bool hasEntry = true;
        PluginCallResult result;
        int calls = 0;
    };

    Handle load(const std::wstring& fullPath) override {
        loaded.push_back(fullPath);
        const auto found = libraries.find(fullPath);
        if (found == libraries.end() || !found->second.loads) return nullptr;
        return &found->second;
    }
    Entry find(Handle library, const char* name) override {
        lookedUp.push_back(name);
        auto* found = static_cast<Library*>(library);
        if (!found->hasEntry) return nullptr;
        entered = found;
        return &entryPoint;
    }
    PluginCallResult call(Entry entry) override {
        if (entry != &entryPoint || entered == nullptr) return {};
        ++entered->calls;
        return entered->result;
    }

    std::map<std::wstring, Library> libraries;
    std::vector<std::wstring> loaded;    // every load asked for, in order
    std::vector<std::string> lookedUp;   // every export looked for

private:
    static void entryPoint() {}
    Library* entered = nullptr;
};

// Every wake-up asked for, in order; nothing for a cancel. The power plan
// is what the test says.
class FakeWakeTimer final : public WakeTimer {
public:
    void wakeAt(Instant at) override { asked.push_back(at); }
    void cancel() override { asked.push_back(std::nullopt); }
    WakeTimerPlan plan() const override { return planInForce; }
    std::vector<std::optional<Instant>> asked;
    WakeTimerPlan planInForce = WakeTimerPlan::allowed;
};

class FakeHighContrast final : public HighContrast {
public:
    std::optional<std::uint32_t> textColour() const override { return themeText; }
    std::optional<std::uint32_t> themeText;  // a high-contrast theme is on, with that text colour
};

class FakeStayAwake final : public StayAwake {
public:
    void hold() override { record(L"hold"); }
    void release() override { record(L"release"); }
    std::vector<std::wstring> asked;  // "hold" and "release", in order
    std::vector<std::wstring>* log = nullptr;

private:
    void record(const wchar_t* what) {
        asked.push_back(what);
        if (log != nullptr) log->push_back(what);
    }
};

}  // namespace orvane::testing

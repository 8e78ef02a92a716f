#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clock/main_window_ids.hpp"
#include "common/clock_passage.hpp"
#include "common/clock_tick.hpp"
#include "platform/files.hpp"
#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/window_mover.hpp"
#include "plugin_loader/plugin_loader.hpp"
#include "settings/clock_settings.hpp"

namespace orvane {

// What the main window asks of the program around it: the windows its menu
// opens and that go to the tray with it, the alarms each tick looks at, and
// the program's end.
class ClockHost {
public:
    // Brings forward the window that a command of the main menu opens (its
    // number in MainWindowIds); another command opens nothing.
    virtual void open(int command) = 0;
    // Going to the tray: the windows that go with the main window withdraw.
    virtual void hideOtherWindows() = 0;
    // The computer woke up: the counts catch up with the time asleep now.
    virtual void resumed() = 0;
    // The computer is going to sleep.
    virtual void suspending() = 0;
    // The system time or the zone was set (before the tick that shows it).
    virtual void clockChanged() = 0;
    // The date shown changed (midnight, or the clock was set): the date
    // pickers' limits follow today.
    virtual void dayBegan() = 0;
    virtual void CheckAlarms(const TickFields& tick) = 0;
    virtual void quit() = 0;
    virtual void endSession() = 0;
    virtual void abandon(const std::wstring& text) = 0;

protected:
    ~ClockHost() = default;
};

// The main clock window: time, date, day name, the dial, the menus and the
// tray icon. It owns the settings and the state of the clock tick.
class TForm1 final : public Form, public MainWindowIds {
public:
    static constexpr UINT TrayCallbackMessage = WM_USER + 1;
    static constexpr UINT TrayIconId = 1;
    static constexpr UINT_PTR Timer1 = 1;
    static constexpr UINT_PTR ShakeTimer = 2;  // the hourly shake's steps
    static constexpr wchar_t TrayTip[] = L"Orvane v.2";
    // Said once a run by the icon, the first time the window goes to the tray.
    static constexpr wchar_t TrayNoticeTitle[] = L"Orvane";
    static constexpr wchar_t TrayNoticeText[] =
        L"L'horloge continue de tourner dans la zone de notification. "
        L"Double-cliquez sur son icône pour la faire revenir.";

    TForm1(Program& program, ClockHost& host);
    ~TForm1() override;

    // The main window is owned by no other.
    void create(HWND owner) override;
    void showAtStart();
    // The hourly shake still has steps to show.
    bool shaking() const { return shake_.running(); }

    ClockSettings settings;
    TickFields tick;
    std::int32_t LastTrayHour = 0;
    std::int32_t LastTrayMinute = 0;
    bool QuitRequested = false;

    void ClockTick();
    // Plays a sound file on the program's one media player; the player's
    // error text fails the caller.
    void PlayMediaFile(const std::wstring& path);
    // The end of the program: the tray icon goes, the icons are released and
    // the settings are written. Runs once; a failed write is shown only when
    // reportFailure is true (nobody reads a box while the session ends).
    void FormDestroy(bool reportFailure);
    // The end after a failure that may have damaged the program's memory:
    // the tray icon goes and nothing is written, now or later.
    void abandon();
    // Writes the settings to Configuration.ini; a failed write throws UserError.
    // The first time they go to the user's own folder instead, the user is
    // told where, unless tellPlace is false (nobody reads a box while the
    // session ends).
    void saveSettings(bool tellPlace = true);
    // The same, once the user confirmed every setting in the options.
    void saveConfirmedSettings() {
        settingsFile_.confirmAll();
        saveSettings();
    }

    // Goes to the tray: hidden behind its icon, or, when the shell refuses
    // the icon, minimised on the taskbar (a hidden clock without an icon
    // could be neither brought back nor ended).
    void AddTrayIcon();
    void DeleteTrayIcon();
    bool isInTray() const { return inTray_; }
    // What the user did to the icon: `event` and `anchor` as the
    // notification area sends them, in its version 4 or in the first one.
    void TrayCallback(WPARAM anchor, LPARAM event);
    void RestaurerItemClick();
    // Back on screen and in front, out of the tray or the taskbar: the tray's
    // commands, and a second start of the program from the same folder.
    void comeBack();
    HMENU trayMenu() const { return PopUpDroit_.get(); }
    HMENU pluginMenu() const { return ools1_; }
    // A plug-in item was chosen: runs the plug-in of that item's tag.
    void TMenuItemClick(int commandId);
    // The bell beside the time: shown while any alarm is armed.
    void showAlarmBell(bool shown);

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onCommand(int id, int code, HWND control) override;
    void onTimer(UINT_PTR id) override;
    void onClose() override;  // FormCloseQuery
    void onScaleChanged() override;

private:
    void buildMenuBar();
    void buildTrayMenu();
    void createControls();
    void showBellPicture();
    // At the notification area's size, which follows the system's scale.
    void extractTrayIcons();
    void remakeTrayIcons();
    void releaseTrayIcons();
    void armClockTimer();
    void buildPluginMenu();
    // The icon in the notification area, if the shell takes it; the first
    // one of the run tells the user where the clock went.
    bool showTrayIcon();
    // The icon's menu, its top left corner at `at` (screen pixels).
    void showTrayMenu(POINT at);

    void HourlySignal();
    // The beep or the sound, once the shake is over; what kept it from
    // playing, if anything.
    std::optional<std::wstring> soundTheHour();
    // The checks of the alarms that waited for the end of the shake.
    void checkAlarmsAfterTheSignal();
    // The hourly signal's failure in the error box, unless a box for that
    // same failure is still open: the ticks go on inside it, and each hour
    // would otherwise add one more while the user is away.
    void reportHourlyFailure(const std::wstring& text);
    // The dial, the time, date and day texts and the tray clock of `tick`.
    void showTickTime();
    // The system time was set: show the new time now, without waiting for the tick.
    void followTimeChange();
    // The day's name after the date as it is drawn.
    void placeDayName();
    // The computer woke up from sleep or hibernation.
    void afterSleep();
    void DrawDial();
    // What the dial's hands show, and how they are drawn.
    struct DialHands {
        std::uint16_t hour, minute, second;
        std::int32_t colour, penWidth;
        friend bool operator==(const DialHands&, const DialHands&) = default;
    };
    void readFace(const FileStamp& stamp);
    void forgetFace();
    void composeDial(const DialHands& hands);
    void CheckAlarms();

    void setStatusText(const std::wstring& text);

    ClockHost& host_;
    ui::PacedMoves shake_{ShakeTimer};
    std::vector<TickFields> checksAfterTheSignal_;
    SteadyTimer clockTimer_;
    // The full hours rung, on the clock the alarms follow too.
    ClockWatch signalWatch_;
    RecurringMoment fullHours_{3600};
    std::optional<LocalTime> shownDay_;  // the date the labels show
    // What the tick's labels and the status bar show, kept as they are
    // written: only the tick writes them.
    struct {
        std::wstring date, time, dayName, status;
    } shownTexts_;
    static constexpr std::size_t trayIconCount = 6;
    std::array<ui::ExtractedIconHandle, trayIconCount> trayIcons_;
    int trayIconIndex_ = 0;
    bool inTray_ = false;       // gone to the tray, with its icon or minimised for want of one
    bool trayIconShown_ = false;
    bool trayNoticeGiven_ = false;
    bool ended_ = false;
    std::vector<std::wstring> openHourlyFailures_;  // texts of the boxes still open
    HMENU ools1_ = nullptr;  // "Plug-ins", owned by the menu bar
    ui::MenuHandle PopUpDroit_;
    HFONT defaultFont_ = nullptr;
    HFONT clockFont_ = nullptr;
    // The face as last read from its file, kept while the file stays the same.
    struct KeptFace {
        std::wstring path;
        FileStamp stamp;
        bool read = false;
        ui::BitmapHandle picture;
    } face_;
    // Two DCs kept for the dial drawn every second: one holds the face, the
    // other takes the dial's picture while the hands are drawn on it.
    ui::KeptDc faceDc_;
    std::optional<ui::Selected> faceSelected_;
    ui::KeptDc dialDc_;
    // The picture the dial shows: the kept face with the hands drawn on.
    ui::BitmapHandle dialPicture_;
    int dialDpi_ = 96;  // the scale it was drawn at
    bool dialIsBuiltIn_ = true;  // no face read yet: the picture built in
    std::optional<DialHands> shownHands_;
    // The hands' pen, made again only when their colour or width changes.
    struct KeptPen {
        COLORREF colour = 0;
        int width = -1;
        ui::PenHandle pen;
    } handsPen_;
    ui::BitmapHandle bellPicture_;
    UINT taskbarCreated_ = 0;
    PluginLoader plugins_;
    SettingsFile settingsFile_;
};

}  // namespace orvane

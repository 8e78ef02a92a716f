#pragma once
#include <array>
#include <memory>
#include <string>

#include "alarms/alarm_table.hpp"
#include "alarms/alarm_wake.hpp"
#include "common/clock_tick.hpp"
#include "common/control_ids.hpp"
#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"
#include "platform/ui/tabs.hpp"

namespace orvane {

class TForm6;
class TForm7;

// What the alarms window asks of the program that holds it: the bell beside
// the time in the main window.
class AlarmsHost {
public:
    virtual void showAlarmBell(bool shown) = 0;

protected:
    ~AlarmsHost() = default;
};

// The window of the daily alarms (AlarmCount of them), one per tab. It owns the alarm table
// and the dialog that configures one alarm.
class TForm6 final : public Form {
public:
    enum ControlId : int {
        PageControl1 = 100,
        // Each slot's time, then each slot's title.
        Label1, Label2, Label3, Label4, Label5,
        Label6, Label7, Label8, Label9, Label10,
        // Each slot's bell, shown while the slot is armed.
        Image1, Image2, Image3, Image4, Image5,
        // "oui" (odd numbers) and "non" (even numbers) of each slot.
        rb1, rb2, rb3, rb4, rb5, rb6, rb7, rb8, rb9, rb10,
        // The frames "Activer ?" around each pair.
        RadioGroup1, RadioGroup2, RadioGroup3, RadioGroup4, RadioGroup5,
        // "Configurer..." of each slot.
        Button1, Button2, Button3, Button4, Button5,
    };

    // One tab's controls; every tab is built from this one template.
    struct SlotControls {
        int timeLabel, indicator, titleLabel, yes, no, frame, configure;
    };
    // Indexed by slot number from 1 (TabSheet1, TabSheet2…); entry 0 is unused.
    static constexpr std::array<SlotControls, AlarmCount + 1> slotControls{{
        {},
        {Label1, Image1, Label6, rb1, rb2, RadioGroup1, Button1},
        {Label2, Image2, Label7, rb3, rb4, RadioGroup2, Button2},
        {Label3, Image3, Label8, rb5, rb6, RadioGroup3, Button3},
        {Label4, Image4, Label9, rb7, rb8, RadioGroup4, Button4},
        {Label5, Image5, Label10, rb9, rb10, RadioGroup5, Button5},
    }};
    static_assert(controlIdsStand(slotControls, 1, &SlotControls::timeLabel, &SlotControls::indicator,
                                  &SlotControls::titleLabel, &SlotControls::yes, &SlotControls::no,
                                  &SlotControls::frame, &SlotControls::configure),
                  "every alarm slot has a row of controls of its own");

    TForm6(Program& program, AlarmsHost& host);
    ~TForm6() override;
    void create(HWND owner) override;
    TForm7& configuration() { return *configuration_; }

    AlarmTable& alarms() { return alarms_; }
    const AlarmTable& alarms() const { return alarms_; }

    // Run by the main window at the end of every clock tick.
    void CheckAlarms(TickFields tick);
    // Stores what the configuration dialog holds into slot n, and arms it.
    void configure(int n, const AlarmSettings& settings);
    // The clock was set, the zone or the day changed: the check of the tick
    // that shows it works the wake-up out anew.
    void followClockChange() override;
    void followNewDay() override { followClockChange(); }
    // The computer woke up, or is about to sleep.
    void followResume() override;
    void followSuspend() override;
    // The program ends: the computer is no longer woken for the alarms.
    void stopWaking() { waking_.end(); }
    // Shows the table as it is: times, titles and armed choices of every tab.
    void FormActivate();
    // An alarm was armed by the user: where the power plan keeps the computer
    // from waking for it, a box says so, once in a run.
    void tellWhenWakeTimersAreOff();
    // Opens the configuration dialog for slot n and waits for it, disabled.
    void ConfigureAlarm(int n);

    // The page of slot n's tab.
    HWND TabSheet(int n) const { return PageControl1_.page(n - 1); }
    ui::TabPages& pages() { return PageControl1_; }

protected:
    void onCommand(int id, int code, HWND control) override;
    LRESULT onNotify(const NMHDR& header) override;
    void onActivate() override { FormActivate(); }
    void onScaleChanged() override;

private:
    AlarmsHost& host_;
    void createSlotTab(int n);
    void showBell(int n);
    void setTimeText(int n, const std::wstring& text);
    void showIndicators(const AlarmIndicators& shown);
    // The wake-up follows a change of the slots at once.
    void followAlarms();

    AlarmTable alarms_;
    AlarmWaking waking_;
    bool wakeTimersOffTold_ = false;
    ui::TabPages PageControl1_;
    HFONT defaultFont_ = nullptr;
    HFONT timeFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    ui::BitmapHandle bellPicture_;
    std::unique_ptr<TForm7> configuration_;
};

}  // namespace orvane

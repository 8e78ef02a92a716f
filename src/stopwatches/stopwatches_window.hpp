#pragma once
#include <array>

#include "common/clock_tick.hpp"
#include "common/control_ids.hpp"
#include "platform/ui/form.hpp"
#include "platform/ui/handles.hpp"
#include "platform/ui/tabs.hpp"
#include "stopwatches/stopwatch_table.hpp"

namespace orvane {

// The stopwatches (stopwatchCount of them), one per tab, each with its own timer that runs only
// while the stopwatch runs.
class TForm2 final : public Form {
public:
    enum ControlId : int {
        PageControl1 = 100,
        Label1 = 110, Label2, Label3, Label4, Label5,  // displays
        Button1 = 120, Button2, Button3, Button4, Button5, Button6, Button7, Button8, Button9, Button10,
        Button11, Button12, Button13, Button14, Button15,  // Start, Stop, RAZ of each slot
        SpeedButton1 = 140, SpeedButton2, SpeedButton3, SpeedButton4, SpeedButton5,  // laps
        ListBox1 = 150, ListBox2, ListBox3, ListBox4, ListBox5,  // lap lists, numbered from the last tab
    };
    // The controls of one slot; the timer of slot n is Timer<n>, id n.
    struct SlotControls {
        int slot, display, start, stop, reset, lap, laps;
    };
    static constexpr std::array<SlotControls, stopwatchCount> Slots{{
        {1, Label1, Button1, Button2, Button3, SpeedButton1, ListBox5},
        {2, Label2, Button4, Button5, Button6, SpeedButton2, ListBox4},
        {3, Label3, Button7, Button8, Button9, SpeedButton3, ListBox3},
        {4, Label4, Button10, Button11, Button12, SpeedButton4, ListBox2},
        {5, Label5, Button13, Button14, Button15, SpeedButton5, ListBox1},
    }};
    static_assert(controlIdsStand(Slots, 0, &SlotControls::display, &SlotControls::start, &SlotControls::stop,
                                  &SlotControls::reset, &SlotControls::lap, &SlotControls::laps),
                  "every stopwatch has a row of controls of its own");

    using Form::Form;
    void create(HWND owner) override;
    const StopwatchTable& table() const { return table_; }
    // After sleep: the running stopwatches catch up at once.
    void followResume() override;

protected:
    void onCommand(int id, int code, HWND control) override;
    void onTimer(UINT_PTR id) override;
    LRESULT onNotify(const NMHDR& header) override;
    void onScaleChanged() override;

private:
    void StartClick(int slot);
    void StopClick(int slot);
    void ResetStopwatch(int slot);
    void LapClick(int slot);
    void AdvanceStopwatch(int slot);
    void showCount(int slot);
    int delayToNextSecond(int slot);
    void stopTimer(int slot);

    StopwatchTable table_;
    std::array<SteadyTimer, stopwatchCount> timers_;
    ui::TabPages pages_;
    HFONT font_ = nullptr;
    HFONT displayFont_ = nullptr;
    ui::BitmapHandle disk_;
};

}  // namespace orvane

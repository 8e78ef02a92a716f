#pragma once
#include <array>
#include <memory>

#include "common/clock_tick.hpp"
#include "common/control_ids.hpp"
#include "platform/ui/form.hpp"
#include "countdowns/countdown_table.hpp"
#include "platform/ui/handles.hpp"
#include "platform/ui/tabs.hpp"

namespace orvane {

class TForm5;

// The window of the countdowns (countdownCount of them), one per tab. It
// owns the countdown table and the dialog that sets one countdown up, and
// runs its tick, shown or not.
class TForm4 final : public Form {
public:
    enum ControlId : int {
        PageControl1 = 100,
        TabSheet1 = 110, TabSheet2, TabSheet3, TabSheet4, TabSheet5,
        // Remaining time of slots 1 to 5.
        Label1 = 120, Label2, Label3, Label4, Label5,
        // Names of slots 1 to 5.
        Label6 = 130, Label7, Label8, Label9, Label10,
        // Restart pictures of slots 1 to 5: the numbering is the window's own
        // and is not in slot order (slot 1 has SpeedButton2, slot 3 SpeedButton1).
        SpeedButton2 = 140, SpeedButton3, SpeedButton1, SpeedButton4, SpeedButton5,
        // "Nouveau Compte à rebours" of slots 1 to 5.
        Button1 = 150, Button2, Button3, Button4, Button5,
    };

    // What one tab holds; the tabs differ only by these.
    struct Tab {
        int sheet;
        const wchar_t* caption;
        int nameLabel;
        int nameFontHeight;
        int timeLabel;
        int restartButton;
        int newButton;
    };
    // Indexed by slot number; row 0 is not a slot.
    static constexpr std::array<Tab, countdownCount + 1> Tabs{{
        {},
        {TabSheet1, L"Timer n°1", Label6, 16, Label1, SpeedButton2, Button1},
        {TabSheet2, L"Timer n°2", Label7, 13, Label2, SpeedButton3, Button2},
        {TabSheet3, L"Timer n°3", Label8, 13, Label3, SpeedButton1, Button3},
        {TabSheet4, L"Timer n°4", Label9, 13, Label4, SpeedButton4, Button4},
        {TabSheet5, L"Timer n°5", Label10, 13, Label5, SpeedButton5, Button5},
    }};
    static_assert(controlIdsStand(Tabs, 1, &Tab::sheet, &Tab::nameLabel, &Tab::timeLabel, &Tab::restartButton,
                                  &Tab::newButton),
                  "every countdown has a tab of controls of its own");

    static constexpr UINT_PTR Timer1 = 1;

    explicit TForm4(Program& program);
    ~TForm4() override;
    // FormCreate: the controls and every countdown empty.
    void create(HWND owner) override;
    TForm5& setup() { return *setup_; }
    // The timer runs while a countdown runs, whether the window is shown or
    // not; with none running it rests, which changes nothing on screen. A
    // countdown just started has the timer armed for its first second.
    void keepTimerToWork(bool countdownStarted = false);
    bool timerRuns() const { return timer_.runs(); }
    // After sleep: the running countdowns catch up at once.
    void followResume() override;

    CountdownTable& table() { return table_; }
    const CountdownTable& table() const { return table_; }
    const ui::TabPages& pages() const { return PageControl1_; }

    // Slot n is emptied and the setup dialog opens for it.
    void BeginNewCountdown(int n);
    void RestartCountdown(int n);
    void Timer1Timer();
    // Each name label shows its slot's name.
    void FormActivate();

protected:
    void onCommand(int id, int code, HWND control) override;
    LRESULT onNotify(const NMHDR& header) override;
    void onTimer(UINT_PTR id) override;
    void onActivate() override { FormActivate(); }
    void onScaleChanged() override;

private:
    void createTab(int n);
    // Button1Click to Button5Click: confirmation first.
    void NewCountdownClick(int n);
    void showTime(int n, const std::wstring& text);

    CountdownTable table_;
    SteadyTimer timer_;
    ui::TabPages PageControl1_;
    HFONT defaultFont_ = nullptr;
    HFONT timeFont_ = nullptr;
    HFONT firstNameFont_ = nullptr;
    HFONT nameFont_ = nullptr;
    ui::BitmapHandle restartPicture_;
    std::unique_ptr<TForm5> setup_;
};

}  // namespace orvane

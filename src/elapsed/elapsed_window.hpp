#pragma once
#include "common/clock_tick.hpp"
#include "platform/ui/form.hpp"
#include "elapsed/elapsed_count.hpp"
#include "platform/ui/handles.hpp"

namespace orvane {

// The time elapsed since a chosen moment, four ways, running second by second.
class Tpasttime final : public Form {
public:
    enum ControlId : int {
        GroupBox1 = 100,
        DateTimePicker1,
        SpinEdit1,  // hour
        UpDown1,
        Label8,
        SpinEdit2,  // minute
        UpDown2,
        Label9,
        SpinEdit3,  // second
        UpDown3,
        Button1,  // "Voir !"
        Label10,
        Label1,
        Label2,
        Label3,
        Label4,
    };
    static constexpr UINT_PTR Timer1 = 1;

    using Form::Form;
    void create(HWND owner) override;
    const ElapsedCount& count() const { return count_; }
    // The latest date the picker offers is today.
    void followToday();
    void followNewDay() override { followToday(); }
    // After sleep: a running count catches up at once.
    void followResume() override;

protected:
    void onCommand(int id, int code, HWND control) override;
    void onTimer(UINT_PTR id) override;
    LRESULT onNotify(const NMHDR& header) override;
    void onActivate() override;  // FormActivate

private:
    void Button1Click();
    int delayToNextSecond(std::int64_t nowMs) const;
    void stopTimer();
    int spinValue(int edit, int high);

    ElapsedCount count_;
    SteadyTimer timer_;
    HFONT font_ = nullptr;
    HFONT groupFont_ = nullptr;
    HFONT boldFont_ = nullptr;
};

}  // namespace orvane

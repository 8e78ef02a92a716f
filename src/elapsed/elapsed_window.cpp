#include "elapsed/elapsed_window.hpp"

#include <commctrl.h>

#include <algorithm>

#include "common/spin_field.hpp"
#include "platform/ui/controls.hpp"

namespace orvane {

namespace {

constexpr DWORD label = WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD spin = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_RIGHT;
constexpr DWORD arrows = WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

// The three spin fields with their arrows and ranges.
struct SpinField {
    int edit, arrows, high;
};
constexpr SpinField spins[] = {
    {Tpasttime::SpinEdit1, Tpasttime::UpDown1, 23},
    {Tpasttime::SpinEdit2, Tpasttime::UpDown2, 59},
    {Tpasttime::SpinEdit3, Tpasttime::UpDown3, 59},
};

const ui::ControlRow rows[] = {
    {Tpasttime::GroupBox1, WC_BUTTONW, L"PastTime", 8, 4, 348, 56, WS_VISIBLE | BS_GROUPBOX},
    {Tpasttime::DateTimePicker1, DATETIMEPICK_CLASSW, L"", 20, 24, 100, 21, WS_VISIBLE | WS_TABSTOP | DTS_SHORTDATEFORMAT},
    {Tpasttime::SpinEdit1, WC_EDITW, L"0", 130, 24, 42, 21, spin},
    {Tpasttime::Label8, WC_STATICW, L":", 176, 27, 4, 13, label},
    {Tpasttime::SpinEdit2, WC_EDITW, L"0", 184, 24, 42, 21, spin},
    {Tpasttime::Label9, WC_STATICW, L":", 230, 27, 4, 13, label},
    {Tpasttime::SpinEdit3, WC_EDITW, L"0", 238, 24, 42, 21, spin},
    {Tpasttime::Button1, WC_BUTTONW, L"Voir !", 290, 22, 58, 25, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
    {Tpasttime::Label10, WC_STATICW, L"Temps écoulé depuis le ...", 8, 68, 348, 16, label},
    {Tpasttime::Label1, WC_STATICW, L"0 jour(s), 0 heure(s), 0 minute(s), et 0 seconde(s)", 16, 92, 340, 14, label},
    {Tpasttime::Label2, WC_STATICW, L"0 heure(s), 0 minute(s), et 0 seconde(s) ", 16, 111, 340, 14, label},
    {Tpasttime::Label3, WC_STATICW, L"0 minute(s), et 0 seconde(s)", 16, 130, 340, 14, label},
    {Tpasttime::Label4, WC_STATICW, L"0 seconde(s)", 16, 149, 340, 14, label},
};

}  // namespace

void Tpasttime::create(HWND owner) {
    createForm({L"Tpasttime", L"PastTime", 364, 171}, owner);
    font_ = font({L"MS Sans Serif", 11});
    groupFont_ = font({L"MS Sans Serif", 11, true});
    boldFont_ = font({L"MS Sans Serif", 13, true});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const ui::ControlRow& row : rows)
        addControl(hwnd(), row, row.id == Label10 ? boldFont_ : row.id == GroupBox1 ? groupFont_ : font_);
    for (const SpinField& s : spins) {
        // The arrows take their place beside the field; their width scales.
        const HWND upDown = addControl(hwnd(), {s.arrows, UPDOWN_CLASSW, L"", 0, 0, 15, 21, arrows}, nullptr);
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control(s.edit)), 0);
        SendMessageW(upDown, UDM_SETRANGE32, 0, s.high);
        SendMessageW(upDown, UDM_SETPOS32, 0, 0);
    }
    // It opens on the clock's today, not the control's own idea of it, and
    // never offers a day after it.
    const LocalTime now = services().clock.now();
    SYSTEMTIME today{};
    today.wYear = now.year;
    today.wMonth = now.month;
    today.wDay = now.day;
    SendMessageW(control(DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));
    followToday();
}

void Tpasttime::onActivate() { followToday(); }

void Tpasttime::followResume() {
    if (count_.running()) SetTimer(hwnd(), Timer1, static_cast<UINT>(timer_.set(1)), nullptr);
}

void Tpasttime::followToday() {
    const LocalTime now = services().clock.now();
    SYSTEMTIME range[2] = {};
    range[1].wYear = now.year;
    range[1].wMonth = now.month;
    range[1].wDay = now.day;
    range[1].wHour = 23;
    range[1].wMinute = 59;
    range[1].wSecond = 59;
    SendMessageW(control(DateTimePicker1), DTM_SETRANGE, GDTR_MAX, reinterpret_cast<LPARAM>(range));
}

LRESULT Tpasttime::onNotify(const NMHDR& header) {
    for (const SpinField& s : spins) {
        auto step = [&](const std::wstring& shown, int delta) { return spinFieldStep(shown, 0, s.high, delta); };
        if (ui::stepSpinField(header, control(s.edit), control(s.arrows), step))
            return TRUE;  // stepped here, from what the field shows
    }
    return 0;
}

int Tpasttime::spinValue(int edit, int high) {
    for (const SpinField& s : spins)
        if (s.edit == edit) {
            const int value = spinFieldValue(ui::windowText(control(s.edit)), 0, high);
            ui::showSpinValue(control(s.edit), control(s.arrows), value);
            return value;
        }
    return 0;
}

void Tpasttime::onCommand(int id, int code, HWND /*control*/) {
    if (id == Button1 && code == BN_CLICKED) {
        Button1Click();
        return;
    }
    if (code == EN_KILLFOCUS)
        for (const SpinField& s : spins)
            if (id == s.edit) spinValue(s.edit, s.high);
}

void Tpasttime::Button1Click() {
    const ClockReading now = services().clock.read();
    SYSTEMTIME picked{};
    SendMessageW(control(DateTimePicker1), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked));
    const int hour = spinValue(SpinEdit1, 23);
    const int minute = spinValue(SpinEdit2, 59);
    const int second = spinValue(SpinEdit3, 59);
    // The count is exact at the start of the second the clock was read in:
    // from there it moves when the clock's seconds do, in real time.
    const std::int64_t nowMs = now.utc.ms;
    count_.begin(elapsedSecondsSince(services().clock.zone(), {picked.wYear, picked.wMonth, picked.wDay,
                                                               static_cast<std::uint16_t>(hour),
                                                               static_cast<std::uint16_t>(minute),
                                                               static_cast<std::uint16_t>(second), 0},
                                     now.utc),
                 nowMs - now.local.millisecond);
    const LocalTime pickedDay{picked.wYear, picked.wMonth, picked.wDay, 0, 0, 0, 0};
    SetWindowTextW(control(Label10),
                   elapsedHeading(services().formats.shortDate(pickedDay), hour, minute, second).c_str());
    // A stopped count needs no timer: nothing would change on screen.
    if (count_.running()) SetTimer(hwnd(), Timer1, static_cast<UINT>(timer_.set(delayToNextSecond(nowMs))), nullptr);
    else stopTimer();
}

int Tpasttime::delayToNextSecond(std::int64_t nowMs) const {
    // Just after the count's next second, so that a late event costs nothing.
    return static_cast<int>(count_.millisecondsToNextSecond(nowMs)) + 1;
}

void Tpasttime::stopTimer() {
    KillTimer(hwnd(), Timer1);
    timer_.stopped();
}

void Tpasttime::onTimer(UINT_PTR id) {
    if (id != Timer1) return;
    const std::int64_t nowMs = services().clock.read().utc.ms;
    const auto shown = count_.tick(nowMs);
    if (!count_.running()) stopTimer();
    else if (const auto period = timer_.follow(delayToNextSecond(nowMs)))
        SetTimer(hwnd(), Timer1, static_cast<UINT>(*period), nullptr);
    if (!shown) return;
    const auto texts = elapsedTexts(*shown);
    // Written from the seconds up, as the count is told.
    const int labels[] = {Label1, Label2, Label3, Label4};
    for (int i = 3; i >= 0; --i) SetWindowTextW(control(labels[i]), texts[static_cast<std::size_t>(i)].c_str());
}

}  // namespace orvane

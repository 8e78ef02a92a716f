#include "stopwatches/stopwatches_window.hpp"

#include <commctrl.h>

#include "platform/ui/controls.hpp"
#include "platform/ui/picture.hpp"

namespace orvane {

namespace {
constexpr DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
}

void TForm2::create(HWND owner) {
    createForm({L"TForm2", L"Chronomètres", 335, 135, 305, 251}, owner);
    font_ = font({L"MS Sans Serif", 11});
    displayFont_ = font({L"MS Sans Serif", 33});
    disk_ = ownPicture(resource::diskPicture);
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    addTabPages(pages_, PageControl1, 3, 3, 329, 129,
                {L"Chrono n°1", L"Chrono n°2", L"Chrono n°3", L"Chrono n°4", L"Chrono n°5"}, font_);
    // One template, once per slot: the slot's row says which names its controls bear.
    for (const SlotControls& s : Slots) {
        const HWND page = pages_.page(s.slot - 1);
        const ui::ControlRow rows[] = {
            {s.display, WC_STATICW, L"00:00:00", 88, 8, 126, 37, WS_VISIBLE | SS_NOPREFIX},
            {s.start, WC_BUTTONW, L"Start !", 24, 48, 75, 25, button | WS_GROUP},
            {s.stop, WC_BUTTONW, L"Stop !", 120, 48, 75, 25, button},
            {s.reset, WC_BUTTONW, L"RAZ", 216, 48, 75, 25, button},
            {s.laps, WC_LISTBOXW, L"", 184, 80, 121, 17,
             WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY},
            // The lap button takes no keyboard focus: it sits outside the tab
            // order, and a click on it leaves the focus where it was.
            {s.lap, WC_BUTTONW, L"", 232, 16, 23, 22, WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP},
        };
        for (const ui::ControlRow& row : rows)
            addControl(page, row, row.id == s.display ? displayFont_ : font_);
        ui::setLabelText(control(s.display), L"00:00:00");  // the display fits its text
        SendMessageW(control(s.laps), LB_SETITEMHEIGHT, 0, scale(13));
        SendMessageW(control(s.lap), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(disk_.get()));
        ui::leaveFocusOnClick(control(s.lap));
        const std::wstring number = std::to_wstring(s.slot);
        ui::nameControl(control(s.lap), L"Noter un temps intermédiaire du chronomètre n°" + number);
        ui::nameControl(control(s.laps), L"Temps intermédiaires du chronomètre n°" + number);
    }
}

void TForm2::onScaleChanged() {
    ui::BitmapHandle picture = ownPicture(resource::diskPicture);
    for (const SlotControls& s : Slots) {
        SendMessageW(control(s.laps), LB_SETITEMHEIGHT, 0, scale(13));
        SendMessageW(control(s.lap), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
    }
    disk_ = std::move(picture);
}

void TForm2::onCommand(int id, int code, HWND /*control*/) {
    if (code != BN_CLICKED) return;
    for (const SlotControls& s : Slots) {
        if (id == s.start) StartClick(s.slot);
        else if (id == s.stop) StopClick(s.slot);
        else if (id == s.reset) ResetStopwatch(s.slot);
        else if (id == s.lap) LapClick(s.slot);
    }
}

LRESULT TForm2::onNotify(const NMHDR& header) {
    pages_.handleNotify(header);
    return 0;
}

void TForm2::StartClick(int slot) {
    if (table_.slot(slot).running) return;  // a running stopwatch keeps its pace
    table_.Start(slot, services().clock.monotonicMilliseconds());
    SetTimer(hwnd(), static_cast<UINT_PTR>(slot), static_cast<UINT>(timers_[slot - 1].set(delayToNextSecond(slot))),
             nullptr);
}

void TForm2::StopClick(int slot) {
    stopTimer(slot);
    table_.Stop(slot, services().clock.monotonicMilliseconds());
    showCount(slot);
}

void TForm2::ResetStopwatch(int slot) {
    table_.ResetStopwatch(slot);
    showCount(slot);
    stopTimer(slot);
    SendMessageW(control(Slots[slot - 1].laps), LB_RESETCONTENT, 0, 0);
}

void TForm2::LapClick(int slot) {
    const HWND laps = control(Slots[slot - 1].laps);
    const std::wstring shown = ui::windowText(control(Slots[slot - 1].display));
    SendMessageW(laps, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
}

void TForm2::onTimer(UINT_PTR id) {
    if (id >= 1 && id <= static_cast<UINT_PTR>(stopwatchCount)) AdvanceStopwatch(static_cast<int>(id));
}

void TForm2::AdvanceStopwatch(int slot) {
    if (table_.AdvanceStopwatch(slot, services().clock.monotonicMilliseconds())) showCount(slot);
    if (!table_.slot(slot).running) return;
    if (const auto period = timers_[slot - 1].follow(delayToNextSecond(slot)))
        SetTimer(hwnd(), static_cast<UINT_PTR>(slot), static_cast<UINT>(*period), nullptr);
}

void TForm2::followResume() {
    for (int slot = 1; slot <= stopwatchCount; ++slot)
        if (table_.slot(slot).running)
            SetTimer(hwnd(), static_cast<UINT_PTR>(slot), static_cast<UINT>(timers_[slot - 1].set(1)), nullptr);
}

int TForm2::delayToNextSecond(int slot) {
    // The next event comes when the next whole second of this stopwatch is complete.
    return table_.millisecondsToNextSecond(slot, services().clock.monotonicMilliseconds()) + 1;
}

void TForm2::stopTimer(int slot) {
    KillTimer(hwnd(), static_cast<UINT_PTR>(slot));
    timers_[slot - 1].stopped();
}

void TForm2::showCount(int slot) {
    const std::wstring text = stopwatchText(table_.slot(slot));
    if (ui::windowText(control(Slots[slot - 1].display)) != text) ui::setLabelText(control(Slots[slot - 1].display), text);
}

}  // namespace orvane

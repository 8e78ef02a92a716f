#include "alarms/alarms_window.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "alarms/alarm_dialog.hpp"
#include "common/error_text.hpp"
#include "platform/ui/controls.hpp"
#include "platform/ui/picture.hpp"

namespace orvane {

namespace {

constexpr wchar_t defaultFace[] = L"MS Sans Serif";
constexpr int tabWidth = 62;
constexpr POINT bellPlace{128, 27};
constexpr int bellGap = 4;

void check(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

}  // namespace

TForm6::TForm6(Program& program, AlarmsHost& host)
    : Form(program),
      host_(host),
      waking_(program.services().wakeTimer, program.services().stayAwake),
      configuration_(std::make_unique<TForm7>(program, *this)) {}

TForm6::~TForm6() = default;

void TForm6::create(HWND owner) {
    createForm({L"TForm6", L"Alarmes", 329, 167, 306, 229}, owner);
    defaultFont_ = font({defaultFace, 11});
    timeFont_ = font({defaultFace, 24, true});
    titleFont_ = font({defaultFace, 13, false, true});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), FALSE);
    bellPicture_ = ownPicture(resource::bellPicture);

    std::vector<std::wstring> captions;
    for (int n = 1; n <= AlarmCount; ++n) captions.push_back(L"Alarme n°" + std::to_wstring(n));
    addTabPages(PageControl1_, PageControl1, 3, 3, 321, 161, captions, defaultFont_);
    // The captions share the window's width evenly, so that every tab
    // shows without scroll arrows whatever the font; the row keeps its
    // height, and so the pages their place.
    PageControl1_.setTabWidth(tabWidth);
    for (int n = 1; n <= AlarmCount; ++n) createSlotTab(n);
}

void TForm6::onScaleChanged() {
    bellPicture_ = ownPicture(resource::bellPicture);
    for (int n = 1; n <= AlarmCount; ++n) {
        showBell(n);
        setTimeText(n, ui::windowText(control(slotControls[static_cast<std::size_t>(n)].timeLabel)));
    }
}

void TForm6::showBell(int n) {
    const HWND bell = control(slotControls[static_cast<std::size_t>(n)].indicator);
    SendMessageW(bell, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bellPicture_.get()));
    // Setting a picture fits the control to it; the layout's size holds.
    SetWindowPos(bell, nullptr, 0, 0, scale(13), scale(13), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm6::createSlotTab(int n) {
    const SlotControls& c = slotControls[static_cast<std::size_t>(n)];
    const HWND page = TabSheet(n);
    // The pair of radio buttons is a group of its own on each page, so each
    // tab's "oui" and "non" exclude each other and nothing else.
    const struct {
        ui::ControlRow row;
        HFONT font;
    } rows[] = {
        {{c.timeLabel, WC_STATICW, L"00:00:00", 24, 19, 99, 29, WS_VISIBLE | SS_NOPREFIX}, timeFont_},
        {{c.indicator, WC_STATICW, nullptr, bellPlace.x, bellPlace.y, 13, 13, SS_BITMAP}, nullptr},
        {{c.titleLabel, WC_STATICW, L"", 184, 8, 0, 0, WS_VISIBLE | SS_NOPREFIX}, titleFont_},
        {{c.frame, WC_BUTTONW, L"Activer ?", 136, 56, 153, 57, WS_VISIBLE | BS_GROUPBOX}, defaultFont_},
        {{c.yes, WC_BUTTONW, L"oui", 160, 80, 49, 17, WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON},
         defaultFont_},
        {{c.no, WC_BUTTONW, L"non", 224, 80, 57, 17, WS_VISIBLE | BS_AUTORADIOBUTTON}, defaultFont_},
        {{c.configure, WC_BUTTONW, L"Configurer...", 24, 80, 75, 25,
          WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON},
         defaultFont_},
    };
    for (const auto& r : rows) addControl(page, r.row, r.font);
    ui::nameControl(control(c.indicator), L"Alarme n°" + std::to_wstring(n) + L" armée");

    showBell(n);
    setTimeText(n, L"00:00:00");
    check(control(c.no), true);
}

void TForm6::setTimeText(int n, const std::wstring& text) {
    const SlotControls& c = slotControls[static_cast<std::size_t>(n)];
    const HWND time = control(c.timeLabel);
    ui::setLabelText(time, text);
    // The bell sits just right of the time. Where the system's font draws
    // the time wider than planned, the bell moves right rather than hide
    // under it.
    RECT timeBox;
    GetWindowRect(time, &timeBox);
    MapWindowPoints(nullptr, TabSheet(n), reinterpret_cast<POINT*>(&timeBox), 2);
    const int bellLeft = std::max(scale(bellPlace.x), static_cast<int>(timeBox.right) + scale(bellGap));
    SetWindowPos(control(c.indicator), nullptr, bellLeft, scale(bellPlace.y), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm6::FormActivate() {
    for (int n = 1; n <= AlarmCount; ++n)
        ui::setLabelText(control(slotControls[static_cast<std::size_t>(n)].titleLabel), alarms_[n].Title);
    for (int n = 1; n <= AlarmCount; ++n) setTimeText(n, alarmTimeText(alarms_[n]));
    for (int n = 1; n <= AlarmCount; ++n) {
        const SlotControls& c = slotControls[static_cast<std::size_t>(n)];
        check(control(c.yes), alarms_[n].armed());
        check(control(c.no), !alarms_[n].armed());
    }
}

void TForm6::CheckAlarms(TickFields tick) {
    orvane::CheckAlarms(alarms_, tick,
                        {services().clock.zone(), services().formats, services().shell, services().boxes, waking_},
                        [this](const AlarmIndicators& shown) { showIndicators(shown); });
}

void TForm6::configure(int n, const AlarmSettings& settings) {
    alarms_.configure(n, settings);
    followAlarms();
}

void TForm6::followAlarms() { waking_.follow(alarms_, services().clock.read(), services().clock.zone()); }

void TForm6::followClockChange() { waking_.recheck(); }

void TForm6::followResume() {
    // The tick that comes at once rings what the computer woke for, then
    // sets the timer again.
    alarms_.resumed();
    waking_.recheck();
}

void TForm6::followSuspend() { waking_.suspending(services().clock.read()); }

void TForm6::showIndicators(const AlarmIndicators& shown) {
    for (int n = 1; n <= AlarmCount; ++n)
        ui::showControl(control(slotControls[static_cast<std::size_t>(n)].indicator),
                        shown.slot[static_cast<std::size_t>(n)]);
    host_.showAlarmBell(shown.any);
}

void TForm6::tellWhenWakeTimersAreOff() {
    if (wakeTimersOffTold_) return;
    const std::optional<std::wstring> notice = wakeTimersOffNotice(services().wakeTimer.plan());
    if (!notice) return;
    wakeTimersOffTold_ = true;
    services().boxes.showOwnedBy(hwnd(), *notice, applicationTitle, box::ok | box::iconInformation);
}

void TForm6::ConfigureAlarm(int n) {
    configuration_->EditedSlot = static_cast<std::int8_t>(n);
    configuration_->open();
}

void TForm6::onCommand(int id, int code, HWND /*control*/) {
    if (code != BN_CLICKED) return;
    bool armed = false;
    for (int n = 1; n <= AlarmCount; ++n) {
        const SlotControls& c = slotControls[static_cast<std::size_t>(n)];
        if (id == c.yes) {
            alarms_.arm(n);
            armed = true;
        } else if (id == c.no) {
            alarms_.disarm(n);
        } else if (id == c.configure) {
            ConfigureAlarm(n);
        }
    }
    followAlarms();
    if (armed) tellWhenWakeTimersAreOff();
}

LRESULT TForm6::onNotify(const NMHDR& header) {
    PageControl1_.handleNotify(header);
    return 0;
}

}  // namespace orvane

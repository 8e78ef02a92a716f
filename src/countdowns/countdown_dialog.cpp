#include "countdowns/countdown_dialog.hpp"

#include <commctrl.h>

#include "countdowns/countdown_table.hpp"
#include "countdowns/countdowns_window.hpp"
#include "common/spin_field.hpp"
#include "platform/ui/controls.hpp"

namespace orvane {

namespace {

constexpr wchar_t defaultFace[] = L"MS Sans Serif";

SYSTEMTIME dateOf(const LocalTime& t) {
    SYSTEMTIME day{};
    day.wYear = t.year;
    day.wMonth = t.month;
    day.wDay = t.day;
    return day;
}

bool isBefore(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    if (a.wYear != b.wYear) return a.wYear < b.wYear;
    if (a.wMonth != b.wMonth) return a.wMonth < b.wMonth;
    return a.wDay < b.wDay;
}

}  // namespace

ui::Window& TForm5::servedWindow() { return countdowns_; }

void TForm5::create(HWND owner) {
    createForm({L"TForm5", L"Configuration d'un compte à rebours", 396, 473, CW_USEDEFAULT, CW_USEDEFAULT},
               owner);
    createControls();
}

void TForm5::createControls() {
    defaultFont_ = font({defaultFace, 11});
    boldFont_ = font({defaultFace, 11, true});
    smallFont_ = font({defaultFace, 8});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), FALSE);

    constexpr DWORD shown = WS_VISIBLE;
    constexpr DWORD label = shown | SS_NOPREFIX;
    constexpr DWORD group = shown | BS_GROUPBOX;
    constexpr DWORD textBox = shown | WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr DWORD numberBox = shown | WS_DISABLED | ES_AUTOHSCROLL;
    constexpr DWORD spinBox = shown | WS_TABSTOP | ES_AUTOHSCROLL;
    constexpr DWORD spinArrows = shown | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS;
    constexpr DWORD radio = shown | WS_TABSTOP | BS_RADIOBUTTON;
    constexpr DWORD button = shown | WS_TABSTOP | BS_PUSHBUTTON;
    constexpr DWORD edge = WS_EX_CLIENTEDGE;

    // In creation order, which is also the order of the Tab key.
    const ui::ControlRow rows[] = {
        {GroupBox2, WC_BUTTONW, L"Nom du compte à rebours", 8, 6, 380, 56, group},
        {Edit5, WC_EDITW, countdownUnnamed, 20, 28, 356, 21, textBox | WS_GROUP, edge},

        {GroupBox1, WC_BUTTONW, L"Délai", 8, 70, 380, 190, group},
        {Panel1, WC_STATICW, L"", 207, 88, 2, 162, shown | SS_ETCHEDVERT},
        {RadioButton1, WC_BUTTONW, L"Par intervalle :", 20, 90, 168, 17, radio | WS_GROUP},
        {Label1, WC_STATICW, IntervalFields[0].caption, 20, 124, 118, 14, label},
        {Edit1, WC_EDITW, L"0", 139, 121, 43, 21, numberBox, edge},
        {UpDown1, UPDOWN_CLASSW, L"", 182, 121, 17, 21, shown},
        {Label2, WC_STATICW, IntervalFields[1].caption, 20, 156, 118, 14, label},
        {Edit2, WC_EDITW, L"0", 139, 153, 43, 21, numberBox, edge},
        {UpDown2, UPDOWN_CLASSW, L"", 182, 153, 17, 21, shown},
        {Label3, WC_STATICW, IntervalFields[2].caption, 20, 188, 118, 14, label},
        {Edit3, WC_EDITW, L"0", 139, 185, 43, 21, numberBox, edge},
        {UpDown3, UPDOWN_CLASSW, L"", 182, 185, 17, 21, shown},
        {Label4, WC_STATICW, IntervalFields[3].caption, 20, 220, 118, 14, label},
        {Edit4, WC_EDITW, L"0", 139, 217, 43, 21, numberBox, edge},
        {UpDown4, UPDOWN_CLASSW, L"", 182, 217, 17, 21, shown},

        {RadioButton2, WC_BUTTONW, L"Par Date et Heure :", 216, 90, 164, 17, radio},
        {Label6, WC_STATICW, L"Date :", 216, 124, 38, 14, label},
        {DateTimePicker1, DATETIMEPICK_CLASSW, L"", 256, 121, 122, 21, shown | WS_TABSTOP | DTS_SHORTDATEFORMAT},
        {Label7, WC_STATICW, L"Heure :", 216, 156, 40, 14, label},
        {SpinEdit1, WC_EDITW, L"0", 256, 153, 36, 21, spinBox, edge},
        {SpinEdit1Arrows, UPDOWN_CLASSW, L"", 0, 0, 15, 21, spinArrows},
        {Label8, WC_STATICW, L":", 292, 156, 7, 14, label | SS_CENTER},
        {SpinEdit2, WC_EDITW, L"0", 299, 153, 36, 21, spinBox, edge},
        {SpinEdit2Arrows, UPDOWN_CLASSW, L"", 0, 0, 15, 21, spinArrows},
        {Label9, WC_STATICW, L":", 335, 156, 7, 14, label | SS_CENTER},
        {SpinEdit3, WC_EDITW, L"0", 342, 153, 36, 21, spinBox, edge},
        {SpinEdit3Arrows, UPDOWN_CLASSW, L"", 0, 0, 15, 21, spinArrows},

        {GroupBox3, WC_BUTTONW, L"Message d'alerte", 8, 270, 380, 56, group},
        {Edit6, WC_EDITW, countdownUnnamed, 20, 292, 356, 21, textBox | WS_GROUP, edge},

        {GroupBox4, WC_BUTTONW, L"Fichier ", 8, 334, 380, 84, group},
        {CheckBox1, WC_BUTTONW, L"Exécuter un fichier : ", 20, 358, 180, 17,
         shown | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
        {Button3, WC_BUTTONW, L"Parcourir...", 292, 354, 84, 25, button | WS_DISABLED},
        {Label5, WC_STATICW, L"", 20, 390, 356, 14, label | SS_PATHELLIPSIS},

        {Button2, WC_BUTTONW, L"Annuler", 8, 436, 88, 27, button | WS_GROUP},
        {Button1, WC_BUTTONW, L"OK", 300, 436, 88, 27, button},
    };
    for (const ui::ControlRow& row : rows) {
        HFONT font = defaultFont_;
        const bool isGroup = row.id == GroupBox1 || row.id == GroupBox2 || row.id == GroupBox3 || row.id == GroupBox4;
        if (isGroup) font = boldFont_;
        if (row.id == Label5) font = smallFont_;
        addControl(hwnd(), row, font);
    }

    CheckRadioButton(hwnd(), RadioButton1, RadioButton2, RadioButton1);
    for (const IntervalField& field : IntervalFields) {
        // No wrap: the arrows stop at either end.
        SendMessageW(control(field.arrows), UDM_SETRANGE32, 0, field.maximum);
        SendMessageW(control(field.arrows), UDM_SETPOS32, 0, 0);
    }
    for (const SpinField& spin : SpinFields) {
        const HWND arrows = control(spin.arrows);
        SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control(spin.field)), 0);
        SendMessageW(arrows, UDM_SETRANGE32, 0, spin.maximum);
        SendMessageW(arrows, UDM_SETPOS32, 0, 0);
    }
    // The picker opens on today, and never offers a day before it.
    SYSTEMTIME today = dateOf(services().clock.now());
    SendMessageW(control(DateTimePicker1), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&today));
    FormActivate();
}

void TForm5::FormActivate() {
    // The dialog may stay open across midnight, or be opened days after the
    // last use: the earliest date follows the calendar.
    SYSTEMTIME range[2] = {dateOf(services().clock.now()), {}};
    const HWND picker = control(DateTimePicker1);
    SendMessageW(picker, DTM_SETRANGE, GDTR_MIN, reinterpret_cast<LPARAM>(range));
    SYSTEMTIME shown{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    if (isBefore(shown, range[0])) SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&range[0]));
}

bool TForm5::isChecked(int id) const { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

void TForm5::selectMode(int radioButton) { CheckRadioButton(hwnd(), RadioButton1, RadioButton2, radioButton); }

void TForm5::CheckBox1Click() { EnableWindow(control(Button3), isChecked(CheckBox1) ? TRUE : FALSE); }

void TForm5::copyArrowPosition(const IntervalField& field) {
    const auto position = static_cast<int>(SendMessageW(control(field.arrows), UDM_GETPOS32, 0, 0));
    SetWindowTextW(control(field.box), std::to_wstring(position).c_str());
}

int TForm5::settleSpinField(const SpinField& spin) {
    const int value = spinFieldValue(ui::windowText(control(spin.field)), 0, spin.maximum);
    ui::showSpinValue(control(spin.field), control(spin.arrows), value);
    return value;
}

void TForm5::Button3Click() {
    // A cancel keeps the file chosen before.
    if (auto chosen = services().fileChooser.open(hwnd(), fileName_, L"")) fileName_ = std::move(*chosen);
    SetWindowTextW(control(Label5), fileName_.c_str());
    if (fileName_.empty()) {
        EnableWindow(control(Button3), FALSE);
        CheckDlgButton(hwnd(), CheckBox1, BST_UNCHECKED);
    }
}

void TForm5::Button1Click() {
    CountdownTable& table = countdowns_.table();
    const std::wstring name = ui::windowText(control(Edit5));
    const std::wstring message = ui::windowText(control(Edit6));
    if (isChecked(RadioButton1)) {
        std::int64_t part[4] = {};
        for (std::size_t i = 0; i < IntervalFields.size(); ++i)
            part[i] = static_cast<int>(SendMessageW(control(IntervalFields[i].arrows), UDM_GETPOS32, 0, 0));
        table.configure(EditedSlot, intervalTotal(part[0], part[1], part[2], part[3]), name, message,
                        isChecked(CheckBox1), fileName_, services().clock.monotonicMilliseconds());
    } else {
        SYSTEMTIME day{};
        SendMessageW(control(DateTimePicker1), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&day));
        // A field still being typed into has not lost its focus yet.
        const int hour = settleSpinField(SpinFields[0]);
        const int minute = settleSpinField(SpinFields[1]);
        const int second = settleSpinField(SpinFields[2]);
        auto field = [](int value) { return static_cast<std::uint16_t>(value); };
        const LocalTime moment{day.wYear, day.wMonth, day.wDay, field(hour), field(minute), field(second), 0};
        table.configureByDate(EditedSlot, moment, name, message, isChecked(CheckBox1), fileName_,
                              services().clock.read(), services().clock.zone());
    }
    countdowns_.keepTimerToWork(true);
    leave();
}

void TForm5::Button2Click() { leave(); }

void TForm5::leave() {
    dismiss();
    // Back to the window the dialog served, which then shows the names anew.
    if (countdowns_.isVisible()) countdowns_.show();
}

void TForm5::onCommand(int id, int code, HWND /*control*/) {
    if (code == EN_KILLFOCUS) {
        for (const SpinField& spin : SpinFields)
            if (id == spin.field) settleSpinField(spin);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case RadioButton1:
    case RadioButton2:
        selectMode(id);
        break;
    case CheckBox1:
        CheckBox1Click();
        break;
    case Button3:
        Button3Click();
        break;
    case Button1:
    case IDOK:  // Enter, as in any dialog
        Button1Click();
        break;
    case Button2:
    case IDCANCEL:  // Escape
        Button2Click();
        break;
    default:
        break;
    }
}

LRESULT TForm5::onNotify(const NMHDR& header) {
    for (const SpinField& spin : SpinFields) {
        auto step = [&](const std::wstring& shown, int delta) { return spinFieldStep(shown, 0, spin.maximum, delta); };
        if (ui::stepSpinField(header, control(spin.field), control(spin.arrows), step))
            return TRUE;  // stepped here, from what the field shows
    }
    return 0;
}

void TForm5::onScroll(HWND control, int /*code*/) {
    const int id = GetDlgCtrlID(control);
    for (const IntervalField& field : IntervalFields)
        if (id == field.arrows) copyArrowPosition(field);
}

}  // namespace orvane

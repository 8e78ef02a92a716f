#include "alarms/alarm_dialog.hpp"

#include <commctrl.h>

#include "alarms/alarms_window.hpp"
#include "platform/ui/controls.hpp"

namespace orvane {

namespace {

constexpr wchar_t defaultFace[] = L"MS Sans Serif";

// The frames' places on the form: the controls inside them are laid out from
// their corners.
constexpr POINT timeFrame{10, 16};
constexpr POINT optionsFrame{10, 104};

ui::ControlRow inFrame(POINT frame, ui::ControlRow row) {
    row.left += frame.x;
    row.top += frame.y;
    return row;
}

}  // namespace

ui::Window& TForm7::servedWindow() { return alarmsWindow_; }

void TForm7::create(HWND owner) {
    createForm({L"TForm7", L"Configuration de l'alarme", 395, 284, 393, 275}, owner);
    createControls();
}

void TForm7::createControls() {
    defaultFont_ = font({defaultFace, 11});
    groupFont_ = font({defaultFace, 13, true});
    timeFont_ = font({defaultFace, 33, true});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), FALSE);

    const HFONT normal = defaultFont_;
    const HFONT big = timeFont_;
    const DWORD label = WS_VISIBLE | SS_NOPREFIX;
    const DWORD edit = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
    const struct {
        ui::ControlRow row;
        HFONT font;
        bool autoSize;
    } rows[] = {
        {{GroupBox1, WC_BUTTONW, L"Heure de l'alarme ", 10, 16, 377, 73, WS_VISIBLE | BS_GROUPBOX},
         groupFont_, false},
        {inFrame(timeFrame, {UpDown2, UPDOWN_CLASSW, nullptr, 64, 32, 17, 25, WS_VISIBLE}), normal, false},
        {inFrame(timeFrame, {Label3, WC_STATICW, L"00", 88, 24, 39, 37, label}), big, true},
        {inFrame(timeFrame, {Label2, WC_STATICW, L":", 136, 22, 11, 37, label}), big, true},
        {inFrame(timeFrame, {Label1, WC_STATICW, L"00", 152, 24, 39, 37, label}), big, true},
        {inFrame(timeFrame, {UpDown1, UPDOWN_CLASSW, nullptr, 200, 32, 17, 25, WS_VISIBLE}), normal, false},
        {{GroupBox2, WC_BUTTONW, L"Options de l'alarme", 10, 104, 377, 129, WS_VISIBLE | BS_GROUPBOX}, normal,
         false},
        {inFrame(optionsFrame, {Label5, WC_STATICW, L"Titre de l'alarme :", 16, 32, 0, 0, label}), normal, true},
        {inFrame(optionsFrame,
                 {Edit2, WC_EDITW, L"Non défini", 192, 24, 161, 21, edit | WS_GROUP, WS_EX_CLIENTEDGE}),
         normal, false},
        {inFrame(optionsFrame, {Label4, WC_STATICW, L"Message d'alerte :", 16, 64, 0, 0, label}), normal, true},
        {inFrame(optionsFrame, {Edit1, WC_EDITW, L"Non défini", 192, 56, 161, 21, edit, WS_EX_CLIENTEDGE}),
         normal, false},
        {inFrame(optionsFrame, {CheckBox1, WC_BUTTONW, L"Exécuter un fichier : ", 12, 96, 165, 17,
                                WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX}),
         normal, false},
        {inFrame(optionsFrame, {Button1, WC_BUTTONW, L"Parcourir...", 192, 96, 161, 17,
                                WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON}),
         normal, false},
        // Under the check box, inside the frame, where the user sees which
        // file was chosen; a long path keeps its start and its file name.
        {inFrame(optionsFrame, {Label6, WC_STATICW, L"", 12, 113, 353, 13, label | SS_PATHELLIPSIS}), normal,
         false},
        {{Button3, WC_BUTTONW, L"Annuler", 88, 248, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON}, normal,
         false},
        {{Button2, WC_BUTTONW, L"OK", 232, 248, 75, 25, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON}, normal, false},
    };
    for (const auto& r : rows) {
        const HWND created = addControl(hwnd(), r.row, r.font);
        if (r.autoSize) ui::setLabelText(created, r.row.text);
    }
    // The arrows stop at their ends: no wrap-around.
    SendMessageW(control(UpDown2), UDM_SETRANGE32, 0, 23);
    SendMessageW(control(UpDown2), UDM_SETPOS32, 0, 0);
    SendMessageW(control(UpDown1), UDM_SETRANGE32, 0, 59);
    SendMessageW(control(UpDown1), UDM_SETPOS32, 0, 0);
}

int TForm7::position(int upDown) const {
    return static_cast<int>(SendMessageW(control(upDown), UDM_GETPOS32, 0, 0));
}

void TForm7::UpDown1Click() { ui::setLabelText(control(Label1), twoDigitText(position(UpDown1))); }
void TForm7::UpDown2Click() { ui::setLabelText(control(Label3), twoDigitText(position(UpDown2))); }

void TForm7::CheckBox1Click() {
    const bool ticked = SendMessageW(control(CheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
    EnableWindow(control(Button1), ticked ? TRUE : FALSE);
}

void TForm7::Button1Click() {
    if (auto chosen = services().fileChooser.open(hwnd(), OpenDialog1FileName_, L""))
        OpenDialog1FileName_ = std::move(*chosen);
    // A cancelled choice shows the name that was there before.
    SetWindowTextW(control(Label6), OpenDialog1FileName_.c_str());
}

void TForm7::Button2Click() {
    AlarmSettings settings;
    settings.Minute = position(UpDown1);
    settings.Hour = position(UpDown2);
    settings.Title = ui::windowText(control(Edit2));
    settings.Message = ui::windowText(control(Edit1));
    settings.runFile = SendMessageW(control(CheckBox1), BM_GETCHECK, 0, 0) == BST_CHECKED;
    settings.FilePath = OpenDialog1FileName_;
    alarmsWindow_.configure(EditedSlot, settings);
    dismiss();
    // Back in front, the alarms window shows the slot just stored.
    alarmsWindow_.FormActivate();
    if (alarmsWindow_.isVisible()) alarmsWindow_.show();
    alarmsWindow_.tellWhenWakeTimersAreOff();
}

void TForm7::Button3Click() { dismiss(); }

void TForm7::onCommand(int id, int code, HWND /*control*/) {
    if (id == IDCANCEL) {  // Escape leaves the dialog as "Annuler" does
        Button3Click();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case CheckBox1:
        CheckBox1Click();
        break;
    case Button1:
        Button1Click();
        break;
    case Button2:
    case IDOK:  // Enter, as in any dialog
        Button2Click();
        break;
    case Button3:
        Button3Click();
        break;
    default:
        break;
    }
}

void TForm7::onScroll(HWND source, int /*code*/) {
    if (source == control(UpDown1)) UpDown1Click();
    else if (source == control(UpDown2)) UpDown2Click();
}

}  // namespace orvane

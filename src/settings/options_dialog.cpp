#include "settings/options_dialog.hpp"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "common/user_error.hpp"
#include "common/window_shake.hpp"
#include "platform/ui/controls.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/window_mover.hpp"

namespace orvane {

namespace {

enum Page { Sonnerie, Vibration, Pendule };
enum Look { Plain, Bold, Underlined };

struct Row {
    int page;
    Look look;
    ui::ControlRow control;  // positions within the page
};

constexpr DWORD label = WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD group = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD button = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD radio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD track = WS_VISIBLE | WS_TABSTOP | TBS_HORZ;

// Controls inside a group are placed from the group's corner: (gx, gy) is it.
constexpr int g1x = 16, g1y = 16;    // GroupBox1
constexpr int g3x = 16, g3y = 16;    // GroupBox3
constexpr int g2x = 16, g2y = 16;    // GroupBox2
constexpr int g4x = 16, g4y = 120;   // GroupBox4
constexpr int g5x = 16, g5y = 192;   // GroupBox5

const Row rows[] = {
    {Sonnerie, Bold, {TForm3::GroupBox1, WC_BUTTONW, L"  Son lors de chaque heure  ", g1x, g1y, 377, 241, group}},
    // The three sound choices are one group, created one after the other, so
    // that a click on one clears the others and the arrows move among them.
    {Sonnerie, Underlined, {TForm3::RadioButton1, WC_BUTTONW, L"Emettre un bip :", g1x + 8, g1y + 32, 97, 17, radio | WS_GROUP}},
    {Sonnerie, Underlined, {TForm3::RadioButton2, WC_BUTTONW, L"Jouer un son :", g1x + 8, g1y + 128, 113, 17, radio}},
    {Sonnerie, Underlined, {TForm3::RadioButton3, WC_BUTTONW, L"Rien", g1x + 8, g1y + 208, 113, 17, radio}},
    {Sonnerie, Plain, {TForm3::Label2, WC_STATICW, L"Fréquencité :", g1x + 112, g1y + 40, 64, 13, label | WS_GROUP}},
    {Sonnerie, Plain, {TForm3::TrackBar2, TRACKBAR_CLASSW, L"", g1x + 179, g1y + 40, 150, 33, track | TBS_AUTOTICKS}},
    {Sonnerie, Plain, {TForm3::Label3, WC_STATICW, L"Durée :", g1x + 112, g1y + 72, 64, 13, label}},
    {Sonnerie, Plain, {TForm3::TrackBar1, TRACKBAR_CLASSW, L"", g1x + 179, g1y + 72, 150, 45, track}},
    {Sonnerie, Plain, {TForm3::Button1, WC_BUTTONW, L"Test", g1x + 286, g1y + 104, 59, 17, button}},
    {Sonnerie, Plain, {TForm3::Edit1, WC_EDITW, L"", g1x + 104, g1y + 152, 121, 21, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_DISABLED}},
    {Sonnerie, Plain, {TForm3::Button2, WC_BUTTONW, L"Parcourir...", g1x + 232, g1y + 152, 75, 21, button}},
    {Sonnerie, Plain, {TForm3::Button5, WC_BUTTONW, L"Test", g1x + 288, g1y + 176, 57, 17, button}},
    {Vibration, Bold, {TForm3::GroupBox3, WC_BUTTONW, L"Vibration lors de chaque heure ", g3x, g3y, 377, 185, group}},
    {Vibration, Underlined, {TForm3::Label4, WC_STATICW, L"Intensité :", g3x + 16, g3y + 32, 54, 13, label}},
    {Vibration, Plain, {TForm3::TrackBar3, TRACKBAR_CLASSW, L"", g3x + 72, g3y + 32, 150, 33, track | TBS_AUTOTICKS}},
    {Vibration, Underlined, {TForm3::Label5, WC_STATICW, L"Durée :", g3x + 16, g3y + 80, 54, 13, label}},
    {Vibration, Plain, {TForm3::TrackBar4, TRACKBAR_CLASSW, L"", g3x + 72, g3y + 80, 150, 33, track | TBS_AUTOTICKS}},
    {Vibration, Plain, {TForm3::Button7, WC_BUTTONW, L"Test", g3x + 200, g3y + 120, 57, 17, button}},

    {Pendule, Bold, {TForm3::GroupBox2, WC_BUTTONW, L"Image Pendule", g2x, g2y, 377, 89, group}},
    {Pendule, Plain, {TForm3::Label1, WC_STATICW, L"Séléctionnez une image sur votre disque dur :", g2x + 16, g2y + 24, 220, 13, label}},
    {Pendule, Plain, {TForm3::Edit2, WC_EDITW, L"", g2x + 16, g2y + 44, 121, 21, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL}},
    {Pendule, Plain, {TForm3::Button6, WC_BUTTONW, L"Parcourir...", g2x + 152, g2y + 45, 75, 17, button}},
    {Pendule, Plain, {TForm3::Image1, WC_STATICW, nullptr, g2x + 248, g2y + 16, 57, 57, WS_VISIBLE | SS_BITMAP}},
    {Pendule, Bold, {TForm3::GroupBox4, WC_BUTTONW, L"Couleur des aiguilles", g4x, g4y, 377, 57, group}},
    {Pendule, Plain, {TForm3::Panel1, WC_EDITW, L"", g4x + 16, g4y + 24, 121, 17, WS_VISIBLE | WS_BORDER | ES_MULTILINE | WS_DISABLED}},
    {Pendule, Plain, {TForm3::Button8, WC_BUTTONW, L"Définir", g4x + 152, g4y + 24, 75, 17, button}},
    {Pendule, Bold, {TForm3::GroupBox5, WC_BUTTONW, L"Epaisseur des aiguilles ", g5x, g5y, 377, 73, group}},
    {Pendule, Plain, {TForm3::ComboBox1, WC_COMBOBOXW, L"", g5x + 16, g5y + 32, 145, 200, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN}},
    {Pendule, Plain, {TForm3::Panel2, WC_EDITW, L"", g5x + 184, g5y + 41, 121, 1, WS_VISIBLE | WS_DISABLED}},
};

}  // namespace

void TForm3::create(HWND owner) {
    createForm({L"TForm3", L"Options...", 425, 364, 281, 199}, owner);
    createControls();
}

ui::Window& TForm3::servedWindow() { return host_.clockWindow(); }

void TForm3::createControls() {
    font_ = font({L"MS Sans Serif", 11});
    boldFont_ = font({L"MS Sans Serif", 11, true});
    underlinedFont_ = font({L"MS Sans Serif", 11, false, true});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    addTabPages(pages_, PageControl1, 8, 8, 409, 313, {L"Sonnerie", L"Vibration", L"Pendule"}, font_);
    for (const Row& row : rows) {
        const HFONT font = row.look == Bold ? boldFont_ : row.look == Underlined ? underlinedFont_ : font_;
        const HWND created = addControl(pages_.page(row.page), row.control, font);
        if (row.control.className == std::wstring_view(WC_STATICW) && row.control.text != nullptr)
            ui::setLabelText(created, row.control.text);  // captions size themselves to their text
    }
    ui::nameControl(control(Image1), L"Aperçu de l'image pendule");
    addControl(hwnd(), {Button4, WC_BUTTONW, L"Annuler", 120, 328, 75, 25, button}, font_);
    addControl(hwnd(), {Button3, WC_BUTTONW, L"OK", 224, 328, 75, 25, button | BS_DEFPUSHBUTTON}, font_);

    const struct {
        int id, high, frequency;
    } ranges[] = {{TrackBar2, frequencyMax, 1000}, {TrackBar1, durationMax, 3000},
                  {TrackBar3, intensityMax, 1}, {TrackBar4, shakeCountMax, 10}};
    for (const auto& r : ranges) {
        SendMessageW(control(r.id), TBM_SETRANGEMIN, FALSE, 0);
        SendMessageW(control(r.id), TBM_SETRANGEMAX, TRUE, r.high);
        SendMessageW(control(r.id), TBM_SETTICFREQ, static_cast<WPARAM>(r.frequency), 0);
        SendMessageW(control(r.id), TBM_SETPAGESIZE, 0, std::max(1, r.high / 10));
    }
    for (int width = 1; width <= 10; ++width)
        SendMessageW(control(ComboBox1), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(width).c_str()));
    SetWindowTextW(control(ComboBox1), L"1");
    setColourSample(0);
    setLineSample(1);
}

int TForm3::trackPosition(int id) const {
    return static_cast<int>(SendMessageW(control(id), TBM_GETPOS, 0, 0));
}

void TForm3::setTrackPosition(int id, int position) {
    SendMessageW(control(id), TBM_SETPOS, TRUE, position);
}

void TForm3::onActivate() {
    // Coming back from one of the program's own boxes or choosers keeps what
    // the user is editing; coming from another of its windows reloads.
    if (program().isOwnWindow(activatedFrom())) FormActivate();
}

void TForm3::FormActivate() {
    const ClockSettings& settings = host_.clockSettings();
    const bool pictureExists = services().files.fileExists(settings.Pendule);
    const OptionsControls c = optionsFromSettings(settings);

    // A face that is missing now (a drive not plugged in) is not shown, but
    // stays the chosen one: "OK" without browsing keeps it.
    pictureFileName_ = c.pictureFile;
    SetWindowTextW(control(Edit2), pictureExists ? pictureFileName_.c_str() : L"");
    std::wstring pictureFailure;
    if (pictureExists) {
        try {
            showPreview(pictureFileName_);
        } catch (const UserError& error) {
            pictureFailure = error.text();
        }
    }
    selectSound(c.sound == OptionsControls::Sound::File ? RadioButton2 : RadioButton1);
    setTrackPosition(TrackBar1, c.duration);
    setTrackPosition(TrackBar2, c.frequency);
    setTrackPosition(TrackBar3, c.intensity);
    setTrackPosition(TrackBar4, c.shakeCount);
    soundFileName_ = c.soundFile;
    SetWindowTextW(control(Edit1), soundFileName_.c_str());
    colour_ = c.colour;
    setColourSample(colour_);
    SetWindowTextW(control(ComboBox1), c.widthText.c_str());
    setLineSample(settings.penwidth);

    // A face the preview cannot show is said once, not at every activation
    // (the box itself would bring the next activation).
    if (!pictureFailure.empty() && reportedPicture_ != pictureFileName_) {
        reportedPicture_ = pictureFileName_;
        throw UserError(pictureFailure);
    }
}

OptionsControls TForm3::controls() const {
    OptionsControls c;
    if (IsDlgButtonChecked(pages_.page(Sonnerie), RadioButton2) == BST_CHECKED) c.sound = OptionsControls::Sound::File;
    else if (IsDlgButtonChecked(pages_.page(Sonnerie), RadioButton3) == BST_CHECKED) c.sound = OptionsControls::Sound::Nothing;
    c.frequency = trackPosition(TrackBar2);
    c.duration = trackPosition(TrackBar1);
    c.intensity = trackPosition(TrackBar3);
    c.shakeCount = trackPosition(TrackBar4);
    c.soundFile = soundFileName_;
    c.pictureFile = pictureFileName_;
    c.colour = colour_;
    c.widthText = ui::windowText(control(ComboBox1));
    return c;
}

void TForm3::onCommand(int id, int code, HWND /*control*/) {
    if (id == IDCANCEL) {  // Escape leaves the dialog as "Annuler" does
        dismiss();
        return;
    }
    if (id == ComboBox1) {
        ComboBox1Change(code);
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
    case Button3:
    case IDOK:  // Enter, as in any dialog
        Button3Click();
        break;
    case Button4:
        dismiss();
        break;
    case Button1:  // beep test, with the sliders as they are
        services().sound.beep(trackPosition(TrackBar2), trackPosition(TrackBar1));
        break;
    case Button2:
        Button2Click();
        break;
    case Button5:  // sound test on the main window's player
        host_.PlayMediaFile(soundFileName_);
        break;
    case Button6:
        Button6Click();
        break;
    case Button7:
        ShakeTest();
        break;
    case Button8:
        Button8Click();
        break;
    default:
        break;
    }
}

void TForm3::Button3Click() {
    confirmOptions(controls(), host_.clockSettings());
    dismiss();
    // Confirmed settings reach the file at once, so that a crash cannot lose them.
    host_.saveConfirmedSettings();
}

void TForm3::Button2Click() {
    if (const auto chosen = services().fileChooser.open(hwnd(), soundFileName_, std::wstring(L"*.wav\0*.wav\0", 12)))
        soundFileName_ = *chosen;
    SetWindowTextW(control(Edit1), soundFileName_.c_str());
    selectSound(soundFileName_.empty() ? RadioButton1 : RadioButton2);
}

void TForm3::Button6Click() {
    // Cancelling the chooser leaves everything as it was.
    const auto chosen = services().fileChooser.open(hwnd(), pictureFileName_, std::wstring(L"*.bmp\0*.bmp\0", 12));
    if (!chosen) return;
    pictureFileName_ = *chosen;
    SetWindowTextW(control(Edit2), pictureFileName_.c_str());
    previewSize_ = dialShownSize;  // a chosen face shows as the dial will
    showPreview(pictureFileName_);
}

void TForm3::selectSound(int radio) {
    for (const int id : {RadioButton1, RadioButton2, RadioButton3})
        SendMessageW(control(id), BM_SETCHECK, id == radio ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TForm3::Button8Click() {
    if (const auto chosen = services().colorChooser.choose(hwnd(), colour_)) colour_ = *chosen;
    setColourSample(colour_);
}

void TForm3::ComboBox1Change(int code) {
    std::wstring text;
    if (code == CBN_SELCHANGE) {
        // The edit field still holds the old text while the choice is told.
        const LRESULT index = SendMessageW(control(ComboBox1), CB_GETCURSEL, 0, 0);
        if (index == CB_ERR) return;
        wchar_t item[16] = {};
        SendMessageW(control(ComboBox1), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item));
        text = item;
    } else if (code == CBN_EDITCHANGE) {
        text = ui::windowText(control(ComboBox1));
    } else {
        return;
    }
    setLineSample(widthFromText(text));
}

void TForm3::ShakeTest() {
    const ui::WindowMover mover(hwnd());
    shake_.start(hwnd(), planShake(mover, services().random, trackPosition(TrackBar3), trackPosition(TrackBar4), 1, dpi()),
                 shakeRoundMoves, [this] { return services().clock.monotonicMilliseconds(); }, nullptr);
}

void TForm3::onTimer(UINT_PTR id) { shake_.onTimer(id); }

void TForm3::showPreview(const std::wstring& path) {
    if (pictureKind(path) == PictureKind::Unknown) throw UserError(unknownPictureText(path));
    ui::BitmapHandle read = picture(path);
    if (!read) return;  // unreadable: the preview keeps what it showed
    previewSource_ = std::move(read);
    showScaledPreview();
}

void TForm3::showScaledPreview() {
    if (!previewSource_) return;
    ui::setStaticPicture(control(Image1), preview_, ui::scalePicture(previewSource_.get(), dpi()));
    ui::fitPictureControl(control(Image1), scale(previewSize_));
}

void TForm3::onScaleChanged() {
    showScaledPreview();
    setLineSample(lineSample_);
}

void TForm3::setColourSample(std::uint32_t colour) {
    colourBrush_.reset(CreateSolidBrush(colour & 0x00FFFFFF));
    InvalidateRect(control(Panel1), nullptr, TRUE);
}

void TForm3::setLineSample(int width) {
    // The sample is as high as the hands are wide, within reason on screen.
    lineSample_ = width;
    const int height = std::clamp(width, 0, 60);
    RECT r;
    GetWindowRect(control(Panel2), &r);
    SetWindowPos(control(Panel2), nullptr, 0, 0, r.right - r.left, scale(height), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TForm3::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CTLCOLORSTATIC) {
        const auto sample = reinterpret_cast<HWND>(lParam);
        if (sample == control(Panel1)) return reinterpret_cast<LRESULT>(colourBrush_.get());
        if (sample == control(Panel2)) return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
    }
    if (message == WM_NOTIFY) {
        if (pages_.handleNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
    }
    return DialogForm::handleMessage(message, wParam, lParam);
}

}  // namespace orvane

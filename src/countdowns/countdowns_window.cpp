#include "countdowns/countdowns_window.hpp"

#include <commctrl.h>

#include <vector>

#include "countdowns/countdown_dialog.hpp"
#include "platform/ui/controls.hpp"
#include "platform/ui/picture.hpp"

namespace orvane {

namespace {

constexpr wchar_t defaultFace[] = L"MS Sans Serif";
constexpr wchar_t confirmationText[] = L"Le compte à rebours actuel sera supprimé, \r\nVoulez-vous continuer ?";
constexpr wchar_t confirmationTitle[] = L"Attention...";

}  // namespace

TForm4::TForm4(Program& program) : Form(program), setup_(std::make_unique<TForm5>(program, *this)) {}

TForm4::~TForm4() = default;

void TForm4::create(HWND owner) {
    createForm({L"TForm4", L"Comptes à rebours", 304, 168, CW_USEDEFAULT, CW_USEDEFAULT}, owner);
    defaultFont_ = font({defaultFace, 11});
    timeFont_ = font({defaultFace, 33});
    firstNameFont_ = font({defaultFace, 16, true, true});
    nameFont_ = font({defaultFace, 13, true, true});
    SendMessageW(hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont_), FALSE);
    // One picture for every restart button; the buttons only borrow it.
    restartPicture_ = ownPicture(resource::restartPicture);

    std::vector<std::wstring> captions;
    for (int n = 1; n <= countdownCount; ++n) captions.emplace_back(Tabs[static_cast<std::size_t>(n)].caption);
    addTabPages(PageControl1_, PageControl1, 2, 4, 300, 160, captions, defaultFont_);
    // Five captions side by side in a narrow window: tighter tabs, no scroll arrows.
    PageControl1_.setPadding(3, 3);
    for (int n = 1; n <= countdownCount; ++n) createTab(n);
}

void TForm4::onScaleChanged() {
    ui::BitmapHandle picture = ownPicture(resource::restartPicture);
    for (int n = 1; n <= countdownCount; ++n)
        SendMessageW(control(Tabs[static_cast<std::size_t>(n)].restartButton), BM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(picture.get()));
    restartPicture_ = std::move(picture);
}

void TForm4::keepTimerToWork(bool countdownStarted) {
    bool anyRunning = false;
    for (int n = 1; n <= countdownCount; ++n) anyRunning = anyRunning || table_.isRunning(n);
    // Armed for the soonest second due: the one just started, or another's.
    if (anyRunning && (countdownStarted || !timer_.runs()))
        SetTimer(hwnd(), Timer1, static_cast<UINT>(timer_.set(table_.tickTimerDelay(services().clock.read()))),
                 nullptr);
    if (!anyRunning && timer_.runs()) {
        KillTimer(hwnd(), Timer1);
        timer_.stopped();
    }
}

void TForm4::followResume() {
    if (timer_.runs()) SetTimer(hwnd(), Timer1, static_cast<UINT>(timer_.set(1)), nullptr);
}

void TForm4::createTab(int n) {
    const Tab& tab = Tabs[static_cast<std::size_t>(n)];
    const HWND page = PageControl1_.page(n - 1);
    SetWindowLongPtrW(page, GWLP_ID, tab.sheet);
    const ui::ControlRow rows[] = {
        {tab.nameLabel, WC_STATICW, countdownUnnamed, 8, 6, 272, 22, WS_VISIBLE | SS_NOPREFIX | SS_LEFTNOWORDWRAP},
        {tab.restartButton, WC_BUTTONW, L"", 8, 50, 23, 22, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP},
        {tab.timeLabel, WC_STATICW, countdownZeroText, 40, 40, 244, 40, WS_VISIBLE | SS_NOPREFIX},
        {tab.newButton, WC_BUTTONW, L"Nouveau Compte à rebours", 40, 94, 159, 25,
         WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
    };
    for (const ui::ControlRow& row : rows) {
        HFONT font = defaultFont_;
        if (row.id == tab.timeLabel) font = timeFont_;
        if (row.id == tab.nameLabel) font = n == 1 ? firstNameFont_ : nameFont_;
        addControl(page, row, font);
    }
    ui::nameControl(control(tab.restartButton), L"Relancer le compte à rebours n°" + std::to_wstring(n));
    SendMessageW(control(tab.restartButton), BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(restartPicture_.get()));
}

void TForm4::FormActivate() {
    for (int n = 1; n <= countdownCount; ++n)
        SetWindowTextW(control(Tabs[static_cast<std::size_t>(n)].nameLabel), table_.slot(n).Name.c_str());
}

void TForm4::showTime(int n, const std::wstring& text) {
    SetWindowTextW(control(Tabs[static_cast<std::size_t>(n)].timeLabel), text.c_str());
}

void TForm4::NewCountdownClick(int n) {
    const int answer =
        services().boxes.show(confirmationText, confirmationTitle, box::yesNo | box::iconExclamation);
    if (answer == box::answerYes) BeginNewCountdown(n);
}

void TForm4::BeginNewCountdown(int n) {
    setup_->EditedSlot = n;
    table_.clear(n);
    keepTimerToWork();
    showTime(n, countdownZeroText);
    setup_->open();
}

void TForm4::RestartCountdown(int n) {
    table_.restart(n, services().clock.monotonicMilliseconds());
    keepTimerToWork(true);
}

void TForm4::Timer1Timer() {
    // The timer keeps firing while this pass waits in an end box (the box's
    // own loop dispatches it); each pass then sets it just after the next
    // due second, where it is not there already.
    table_.tick(services().clock, services().shell, services().boxes,
                [this](int n, const std::wstring& text) { showTime(n, text); });
    keepTimerToWork();
    if (timer_.runs())
        if (const auto period = timer_.follow(table_.tickTimerDelay(services().clock.read())))
            SetTimer(hwnd(), Timer1, static_cast<UINT>(*period), nullptr);
}

void TForm4::onCommand(int id, int code, HWND /*control*/) {
    if (code != BN_CLICKED) return;
    for (int n = 1; n <= countdownCount; ++n) {
        const Tab& tab = Tabs[static_cast<std::size_t>(n)];
        if (id == tab.newButton) NewCountdownClick(n);
        if (id == tab.restartButton) RestartCountdown(n);
    }
}

LRESULT TForm4::onNotify(const NMHDR& header) {
    PageControl1_.handleNotify(header);
    return 0;
}

void TForm4::onTimer(UINT_PTR id) {
    if (id == Timer1) Timer1Timer();
}

}  // namespace orvane

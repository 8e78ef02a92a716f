#include "app/application.hpp"

#include "alarms/alarm_dialog.hpp"
#include "common/error_text.hpp"
#include "common/user_error.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"

namespace orvane {

Application::Application(const Services& services)
    : services_(services),
      form1_(std::make_unique<TForm1>(*this, *this)),
      form2_(std::make_unique<TForm2>(*this)),
      form3_(std::make_unique<TForm3>(*this, *this)),
      form4_(std::make_unique<TForm4>(*this)),
      form6_(std::make_unique<TForm6>(*this, *this)),
      pasttime_(std::make_unique<Tpasttime>(*this)),
      windows_{
          {form1_.get(), std::nullopt, false},
          {form2_.get(), TForm1::Chronomtre1, true},
          {form3_.get(), TForm1::Option1, true},
          {form4_.get(), TForm1::Compterebours1, true},
          {&form4_->setup(), std::nullopt, true},
          {form6_.get(), TForm1::Alarme1, false},
          {&form6_->configuration(), std::nullopt, true},
          {pasttime_.get(), TForm1::PastTime1, false},
      } {}

Application::~Application() = default;

TForm5& Application::form5() { return form4_->setup(); }

TForm7& Application::form7() { return form6_->configuration(); }

void Application::create() {
    form1_->create(nullptr);
    for (const Listed& listed : windows_)
        if (listed.window != form1_.get()) listed.window->create(form1_->hwnd());
    form1_->showAtStart();
}

int Application::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, the arrows and Enter move between controls as in any dialog.
        // Only keys concern the dialog manager; asking for the active window
        // costs a call to the system, which the clock's ticks need not pay.
        if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
            const HWND active = GetActiveWindow();
            if (active != nullptr && IsDialogMessageW(active, &message)) continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void Application::quit() {
    form1_->QuitRequested = true;
    PostQuitMessage(0);
}

void Application::finish() {
    form6_->stopWaking();
    form1_->FormDestroy(true);
    for (auto listed = windows_.rbegin(); listed != windows_.rend(); ++listed) listed->window->destroy();
}

void Application::endSession() {
    form6_->stopWaking();
    form1_->QuitRequested = true;
    form1_->FormDestroy(false);
    PostQuitMessage(0);
}

void Application::abandon(const std::wstring& text) {
    abandoned_ = true;
    form1_->abandon();
    reportError(text);
    PostQuitMessage(abandonedExitCode);
}

bool Application::isOwnWindow(HWND window) const {
    if (window == nullptr) return false;
    for (const Listed& listed : windows_)
        if (listed.window->hwnd() == window) return true;
    return false;
}

HWND Application::errorBoxOwner() const {
    // Owned by the window on screen, the box comes to the front with it when
    // the user returns to the program, rather than waiting behind other
    // programs' windows. In the tray or minimised there is none to follow,
    // unless one of the program's other windows is the active one.
    const HWND main = form1_ ? form1_->hwnd() : nullptr;
    if (main != nullptr && IsWindowVisible(main) && !IsIconic(main)) return main;
    const HWND active = GetActiveWindow();
    return isOwnWindow(active) && IsWindowVisible(active) ? active : nullptr;
}

void Application::reportError(const std::wstring& text) {
    services_.boxes.showOwnedBy(errorBoxOwner(), errorBoxText(text), applicationTitle, box::ok | box::iconError);
}

void Application::reportFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const UserError& error) {
        reportError(error.text());
    } catch (...) {
        Program::reportFailure(std::current_exception());
    }
}

void Application::open(int command) {
    for (const Listed& listed : windows_)
        if (listed.openedBy == command) listed.window->open();
}

void Application::hideOtherWindows() {
    for (const Listed& listed : windows_)
        if (listed.goesToTray) listed.window->withdraw();
}

std::vector<Form*> Application::windows() const {
    std::vector<Form*> listed;
    for (const Listed& l : windows_) listed.push_back(l.window);
    return listed;
}

void Application::resumed() {
    for (const Listed& listed : windows_) listed.window->followResume();
}

void Application::suspending() {
    for (const Listed& listed : windows_) listed.window->followSuspend();
}

void Application::clockChanged() {
    for (const Listed& listed : windows_) listed.window->followClockChange();
}

void Application::dayBegan() {
    for (const Listed& listed : windows_) listed.window->followNewDay();
}

void Application::CheckAlarms(const TickFields& tick) { form6_->CheckAlarms(tick); }

ui::Window& Application::clockWindow() { return *form1_; }

ClockSettings& Application::clockSettings() { return form1_->settings; }

void Application::saveConfirmedSettings() { form1_->saveConfirmedSettings(); }

void Application::PlayMediaFile(const std::wstring& path) { form1_->PlayMediaFile(path); }

void Application::showAlarmBell(bool shown) { form1_->showAlarmBell(shown); }

}  // namespace orvane

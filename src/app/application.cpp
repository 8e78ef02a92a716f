#include "app/application.hpp"

#include "alarms/alarm_dialog.hpp"
#include "common/error_text.hpp"
#include "common/user_error.hpp"
#include "countdowns/countdown_dialog.hpp"
#include "elapsed/elapsed_window.hpp"
#include "stopwatches/stopwatches_window.hpp"

namespace orvane {

Application::Application(const Services& services) : services_(services) {}

Application::~Application() {
    // Secondary windows first: they are owned by the main window.
    pasttime_.reset();
    form7_.reset();
    form6_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

void Application::create() {
    form1_ = std::make_unique<TForm1>(*this, *this);
    form1_->create();
    const HWND owner = form1_->hwnd();
    form2_ = std::make_unique<TForm2>(*this);
    form2_->create(owner);
    form3_ = std::make_unique<TForm3>(*this, *this);
    form3_->create(owner);
    form4_ = std::make_unique<TForm4>(*this, *this);
    form4_->create(owner);
    form5_ = std::make_unique<TForm5>(*this, *this);
    form5_->create(owner);
    form6_ = std::make_unique<TForm6>(*this, *this);
    form6_->create(owner);
    form7_ = std::make_unique<TForm7>(*this, *this);
    form7_->create(owner);
    pasttime_ = std::make_unique<Tpasttime>(*this);
    pasttime_->create(owner);
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
    form1_->FormDestroy(true);
    pasttime_->destroy();
    form7_->destroy();
    form6_->destroy();
    form5_->destroy();
    form4_->destroy();
    form3_->destroy();
    form2_->destroy();
    form1_->destroy();
}

void Application::endSession() {
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
    if (window == nullptr || !form1_) return false;
    const ui::Window* windows[] = {form1_.get(), form2_.get(), form3_.get(), form4_.get(),
                                   form5_.get(), form6_.get(), form7_.get(), pasttime_.get()};
    for (const ui::Window* w : windows)
        if (w != nullptr && w->hwnd() == window) return true;
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

void Application::open(Opened window) {
    switch (window) {
    case Opened::Alarms:
        form6_->show();
        break;
    case Opened::Stopwatches:
        form2_->show();
        break;
    case Opened::Countdowns:
        form4_->show();
        break;
    case Opened::Elapsed:
        pasttime_->show();
        break;
    case Opened::Options:
        form3_->show();
        break;
    }
}

void Application::hideOtherWindows() {
    form2_->hide();
    if (form3_->isVisible()) form3_->dismiss();
    form4_->hide();
    if (form5_->isVisible()) form5_->dismiss();
    if (form7_->isVisible()) form7_->dismiss();
}

void Application::clockSet(const ClockReading& now) { form6_->alarms().clockSet(now); }

void Application::resumed() {
    form2_->followResume();
    form4_->followResume();
    pasttime_->followResume();
}

void Application::dayBegan() {
    pasttime_->followToday();
    form5_->FormActivate();
}

void Application::CheckAlarms(const TickFields& tick) { form6_->CheckAlarms(tick); }

ui::Window& Application::clockWindow() { return *form1_; }

ClockSettings& Application::clockSettings() { return form1_->settings; }

void Application::saveConfirmedSettings() { form1_->saveConfirmedSettings(); }

void Application::PlayMediaFile(const std::wstring& path) { form1_->PlayMediaFile(path); }

void Application::showAlarmBell(bool shown) { form1_->showAlarmBell(shown); }

}  // namespace orvane

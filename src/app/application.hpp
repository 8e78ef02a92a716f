#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alarms/alarms_window.hpp"
#include "clock/main_window.hpp"
#include "countdowns/countdowns_window.hpp"
#include "platform/services.hpp"
#include "platform/ui/form.hpp"
#include "settings/options_dialog.hpp"

namespace orvane {

class TForm2;
class TForm5;
class TForm7;
class Tpasttime;

// The exit code of a program that ended after damage to its memory.
inline constexpr int abandonedExitCode = 3;

// The program: its services and its windows, each created once and living
// until the end. Every window reaches the others through it, by the narrow
// host that the window's own part declares.
class Application final : public Program, public ClockHost, public OptionsHost, public AlarmsHost {
public:
    explicit Application(const Services& services);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the windows in their order; only the main window is shown.
    void create();
    // Serves messages until a quit command.
    int run();
    // The quit commands: the message loop ends after the current message.
    void quit() override;
    // The normal end, after the loop: the main window's last steps, then
    // every window is destroyed.
    void finish();
    // The session ends (log-off, shut-down): save and go, without any box.
    void endSession() override;
    // The program's memory may be damaged: say why, then end without writing
    // anything; the message loop stops and the process must end at once.
    void abandon(const std::wstring& text) override;
    bool abandoned() const { return abandoned_; }

    // The program's error box: title "Orvane", error icon, one OK button.
    void reportError(const std::wstring& text) override;
    // A handler's failure: a UserError shows its own text.
    void reportFailure(std::exception_ptr failure) override;
    // Whether a window is one of the program's own.
    bool isOwnWindow(HWND window) const override;

    Services& services() override { return services_; }
    // Every window, in the order they are made.
    std::vector<Form*> windows() const;
    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TForm4& form4() { return *form4_; }
    TForm5& form5();
    TForm6& form6() { return *form6_; }
    TForm7& form7();
    Tpasttime& pasttime() { return *pasttime_; }

    // The main window's asks.
    void open(int command) override;
    void hideOtherWindows() override;
    void resumed() override;
    void suspending() override;
    void clockChanged() override;
    void dayBegan() override;
    void CheckAlarms(const TickFields& tick) override;
    // The options' and the alarms' asks of the main window.
    ui::Window& clockWindow() override;
    ClockSettings& clockSettings() override;
    void saveConfirmedSettings() override;
    void PlayMediaFile(const std::wstring& path) override;
    void showAlarmBell(bool shown) override;

private:
    // The window an error box belongs to: the one the user sees.
    HWND errorBoxOwner() const;

    Services services_;
    bool abandoned_ = false;
    // Destroyed in the reverse order, the main window, which owns the others, last.
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;  // with its dialog TForm5
    std::unique_ptr<TForm6> form6_;  // with its dialog TForm7
    std::unique_ptr<Tpasttime> pasttime_;

    // Every window of the program, in the order they are made (the main
    // window first, a dialog after the window it serves): what creates,
    // opens, withdraws to the tray and destroys them walks this list.
    struct Listed {
        Form* window;
        std::optional<int> openedBy;  // the main menu's command that brings it forward
        bool goesToTray;              // withdraws when the main window goes to the tray
    };
    std::vector<Listed> windows_;
};

}  // namespace orvane

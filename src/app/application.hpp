#pragma once
#include <memory>
#include <string>

#include "platform/choosers.hpp"
#include "platform/clock.hpp"
#include "platform/file_chooser.hpp"
#include "platform/file_search.hpp"
#include "platform/files.hpp"
#include "platform/message_boxes.hpp"
#include "platform/plugin_libraries.hpp"
#include "platform/profile.hpp"
#include "platform/random.hpp"
#include "platform/shell.hpp"
#include "platform/sound.hpp"
#include "platform/tray_icon.hpp"
#include "platform/ui/window.hpp"

namespace orvane {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class Tpasttime;

// What the program uses of the world. The program gets the real ones; tests
// give fakes.
struct Services {
    Clock& clock;
    RegionalFormats& formats;
    ProfileStore& profile;
    Shell& shell;
    MessageBoxes& boxes;
    FileSystem& files;
    TrayIcon& tray;
    std::wstring exeFolder;  // ends with the path separator
    std::wstring exePath;    // the program's icons are taken from it
    Sound& sound;
    Random& random;
    FileChooser& fileChooser;
    ColorChooser& colorChooser;
    FileSearch& fileSearch;
    PluginLibraries& pluginLibraries;
};

// The exit code of a program that ended after damage to its memory.
inline constexpr int abandonedExitCode = 3;

// The program: its services and its eight windows, each created once and
// living until the end. Every window reaches the others through it.
class Application final : public ui::ErrorReporter {
public:
    explicit Application(const Services& services);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates the eight windows in their order; only the main window is shown.
    void create();
    // Serves messages until a quit command.
    int run();
    // The quit commands: the message loop ends after the current message.
    void quit();
    // The normal end, after the loop: the main window's last steps, then
    // every window is destroyed.
    void finish();
    // The session ends (log-off, shut-down): save and go, without any box.
    void endSession();
    // The program's memory may be damaged: say why, then end without writing
    // anything; the message loop stops and the process must end at once.
    void abandon(const std::wstring& text);
    bool abandoned() const { return abandoned_; }

    // The program's error box: title "Orvane", error icon, one OK button.
    void reportError(const std::wstring& text) override;
    // Whether a window is one of the program's eight.
    bool isOwnWindow(HWND window) const;

    Services& services() { return services_; }
    TForm1& form1() { return *form1_; }
    TForm2& form2() { return *form2_; }
    TForm3& form3() { return *form3_; }
    TForm4& form4() { return *form4_; }
    TForm5& form5() { return *form5_; }
    TForm6& form6() { return *form6_; }
    TForm7& form7() { return *form7_; }
    Tpasttime& pasttime() { return *pasttime_; }

private:
    Services services_;
    bool abandoned_ = false;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<TForm7> form7_;
    std::unique_ptr<Tpasttime> pasttime_;
};

}  // namespace orvane

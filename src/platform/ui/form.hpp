#pragma once
#include "platform/services.hpp"
#include "platform/ui/picture.hpp"
#include "platform/ui/window.hpp"

namespace orvane {

// The program as each of its windows sees it: the services, the error box,
// and which windows are its own.
class Program : public ui::ErrorReporter {
public:
    virtual Services& services() = 0;
    virtual bool isOwnWindow(HWND window) const = 0;
};

// A window of this program.
class Form : public ui::Window {
public:
    explicit Form(Program& program);
    // Makes the window and its controls, hidden. Every window but the main
    // one is owned by the main window (no taskbar button of its own).
    virtual void create(HWND owner) = 0;
    // Brought forward from a menu.
    virtual void open() { show(); }
    // The main window goes to the tray and this window with it.
    virtual void withdraw() { hide(); }

    // What happens to the whole program reaches every window, in the order
    // they were made; each follows what concerns it.
    // The computer woke from sleep or hibernation: timers come back late.
    virtual void followResume() {}
    // The computer is about to sleep.
    virtual void followSuspend() {}
    // The clock was set, or its zone or the zone's rules changed.
    virtual void followClockChange() {}
    // The date changed, at midnight or with the clock.
    virtual void followNewDay() {}

protected:
    // Creates the frame owned by the main window (no taskbar button of its own).
    void createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu = nullptr);
    Program& program() { return program_; }
    const Program& program() const { return program_; }
    Services& services() { return program_.services(); }
    // One of the program's own pictures at the window's scale, in the
    // colours of the theme in use.
    ui::BitmapHandle ownPicture(int id);
    // A picture file as ui::loadPicture reads it, in the theme's colours
    // when it holds one of the program's own.
    ui::BitmapHandle picture(const std::wstring& path);

private:
    Program& program_;
};

// A dialog that works for one window: opening it disables that window, and
// leaving it (its buttons or its close box) enables that window again.
class DialogForm : public Form {
public:
    using Form::Form;
    void open() override;
    // Leave without storing anything.
    void dismiss();
    // Left as if cancelled, so that the window it serves is not found
    // disabled after a restore.
    void withdraw() override {
        if (isVisible()) dismiss();
    }

protected:
    virtual ui::Window& servedWindow() = 0;
    void onClose() override { dismiss(); }
};

// Resource numbers shared by the program and its tests.
namespace resource {
inline constexpr int programIcon = 1;
inline constexpr int dialPicture = 101;
inline constexpr int bellPicture = 102;
inline constexpr int diskPicture = 104;
inline constexpr int restartPicture = 103;
}  // namespace resource

}  // namespace orvane

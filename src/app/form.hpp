#pragma once
#include "platform/ui/window.hpp"

namespace orvane {

class Application;

// A window of this program: it reaches the others through the application.
class Form : public ui::Window {
public:
    explicit Form(Application& app);

protected:
    // Creates the frame owned by the main window (no taskbar button of its own).
    void createForm(const ui::FrameSpec& layout, HWND owner, HMENU menu = nullptr);
    Application& app() { return app_; }
    const Application& app() const { return app_; }

private:
    Application& app_;
};

// A dialog that works for one window: opening it disables that window, and
// leaving it (its buttons or its close box) enables that window again.
class DialogForm : public Form {
public:
    using Form::Form;
    // Leave without storing anything.
    void dismiss();

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

#pragma once
#include <windows.h>

#include <exception>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/controls.hpp"
#include "platform/ui/handles.hpp"

namespace orvane::ui {

// Where a handler's unhandled failure goes: the program's error box.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void reportError(const std::wstring& text) = 0;
    // A failure that left a handler: a standard exception shows its text,
    // anything else "Erreur inattendue". The program adds its own errors.
    virtual void reportFailure(std::exception_ptr failure);
};

// A top-level window as laid out: class name, caption, client size in pixels
// at 96 DPI, and the first position on the screen (CW_USEDEFAULT lets the
// system choose).
struct FrameSpec {
    const wchar_t* className;
    const wchar_t* caption;
    int clientWidth;
    int clientHeight;
    int left = CW_USEDEFAULT;
    int top = CW_USEDEFAULT;
    DWORD style = WS_CAPTION | WS_SYSMENU;  // fixed border, close box only
    DWORD exStyle = 0;
};

class TabPages;

// One object per window. The static procedure finds the object from the
// HWND and hands it the message; no exception ever leaves it.
class Window {
public:
    explicit Window(ErrorReporter& errors) : errors_(errors) {}
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    // A control by its number, wherever it sits in the window (on a tab page
    // too). Asking for a number the window never made is a programming error
    // (a number without its layout row): see reportMissingControlsTo.
    HWND control(int id) const;

    // Make visible and bring to the front; a visible window only comes to the front.
    void show();
    void hide();
    bool isVisible() const;
    void setEnabled(bool enabled);
    bool isEnabled() const;

    // Pixels of the 96-DPI layout at the window's scale.
    int scale(int pixels) const;
    int dpi() const { return dpi_; }
    // Takes a new scale, as when the window is moved to a monitor of another
    // DPI: fonts, controls, tab pages and frame follow, then onScaleChanged.
    // `suggested` is the frame the system proposes, if any.
    void changeDpi(int dpi, const RECT* suggested);

    void destroy();

protected:
    // icon: the number of the icon resource the window bears, 0 for none.
    void createFrame(const FrameSpec& layout, HWND owner, HMENU menu, int icon);
    // Brings the client area back to the layout's size once the menu bar is filled.
    void fitClientArea();
    // A font of this window at its scale, kept by the window and made again
    // at each change of scale. Asking twice for one font gives the same handle.
    HFONT font(const FontLook& look);
    // A control at its place in the 96-DPI layout, placed again at each change of scale.
    HWND addControl(HWND parent, const ControlRow& row, HFONT font);
    // Tab pages laid out in 96-DPI pixels, placed again at each change of scale.
    void addTabPages(TabPages& pages, int id, int left, int top, int width, int height,
                     const std::vector<std::wstring>& captions, HFONT font);
    // What else follows the scale (pictures, item heights): called after the
    // fonts, controls and tab pages were laid out at the new scale.
    virtual void onScaleChanged() {}

    // Message handlers; each default does what the system would.
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void onCommand(int /*id*/, int /*code*/, HWND /*control*/) {}
    virtual void onTimer(UINT_PTR /*id*/) {}
    virtual LRESULT onNotify(const NMHDR& /*header*/) { return 0; }
    // Track bars and up-down arrows.
    virtual void onScroll(HWND /*control*/, int /*code*/) {}
    // The close box, Alt+F4 and the system menu's close: hide by default.
    virtual void onClose() { hide(); }
    // The window became the active window; activatedFrom() tells which window
    // was active before (a message box or chooser of the program, another of
    // its windows, or another program's).
    virtual void onActivate() {}
    HWND activatedFrom() const { return activatedFrom_; }

    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam);
    ErrorReporter& errors() { return errors_; }

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    ErrorReporter& errors_;
    void setIcons();

    int dpi_ = 96;
    HWND activatedFrom_ = nullptr;
    // The control that had the keyboard focus when the window was last left.
    HWND keptFocus_ = nullptr;
    void keepFocus();
    void restoreFocus();
    static BOOL CALLBACK tellColoursChanged(HWND child, LPARAM);
    // Controls live as long as their window: each is looked for once.
    mutable std::unordered_map<int, HWND> controls_;
    SIZE layoutClient_{};  // the client area in 96-DPI pixels
    SIZE clientSize_{};    // the same at the window's scale
    struct KeptFont {
        FontLook look;
        FontHandle handle;
    };
    std::vector<KeptFont> fonts_;
    struct PlacedControl {
        HWND control;
        RECT layout;  // 96-DPI pixels in its parent; no size: it sizes itself
    };
    std::vector<PlacedControl> placed_;
    std::vector<TabPages*> tabPages_;
    IconHandle bigIcon_;
    IconHandle smallIcon_;
    int iconResource_ = 0;
};

// What a request for a control the window does not have does. Debug builds
// stop the program there; tests fail the test; a release build goes on
// without the control, as if the request had done nothing.
using MissingControlReport = void (*)(HWND window, int id);
void reportMissingControlsTo(MissingControlReport report);

// The DPI of the monitor a window is on (the system's where that is not known).
int windowDpi(HWND window);
// A system size (SM_CXSMICON...) at a DPI.
int systemMetricAt(int index, int dpi);

std::wstring windowText(HWND hwnd);

}  // namespace orvane::ui

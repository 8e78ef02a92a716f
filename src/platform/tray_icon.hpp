#pragma once
#include <optional>
#include <string>

namespace orvane {

// Where the icon stands on the screen, in screen pixels.
struct IconPlace {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The icon in the notification area. Handles are the system's window and icon
// handles, carried opaquely so that fakes need no system headers.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    // False when the shell refused the icon (busy, or restarting). The icon
    // speaks the notification area's version 4 where the shell knows it: the
    // event in the low word of the message's lParam, the icon's number in its
    // high word, and where it happened in wParam; otherwise the mouse message
    // alone in lParam.
    virtual bool add(void* window, unsigned id, unsigned callbackMessage, void* icon,
                     const std::wstring& tip) = 0;
    virtual void remove(void* window, unsigned id) = 0;
    // Another picture for an icon already shown (the same at another scale).
    virtual void changeIcon(void* window, unsigned id, void* icon) = 0;
    // A notification from the icon: a balloon, or a notice on newer systems.
    virtual void notify(void* window, unsigned id, const std::wstring& title, const std::wstring& text) = 0;
    // The keyboard goes back to the notification area (its menu was left
    // with Escape): keyboard users keep their place there.
    virtual void giveFocusBack(void* window, unsigned id) = 0;
    // Where the icon is, when the shell says.
    virtual std::optional<IconPlace> place(void* window, unsigned id) = 0;
};

}  // namespace orvane

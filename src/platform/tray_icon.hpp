#pragma once
#include <string>

namespace orvane {

// The icon in the notification area. Handles are the system's window and icon
// handles, carried opaquely so that fakes need no system headers.
class TrayIcon {
public:
    virtual ~TrayIcon() = default;
    virtual void add(void* window, unsigned id, unsigned callbackMessage, void* icon,
                     const std::wstring& tip) = 0;
    virtual void remove(void* window, unsigned id) = 0;
    // Another picture for an icon already shown (the same at another scale).
    virtual void changeIcon(void* window, unsigned id, void* icon) = 0;
};

}  // namespace orvane

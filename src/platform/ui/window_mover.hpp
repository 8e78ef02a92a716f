#pragma once
#include <windows.h>

#include "platform/movable_window.hpp"

namespace orvane::ui {

// A top-level window moved by its left and top edges, at once, whether shown
// or not. A minimised window is moved in its restored place, so that it comes
// back where the shake left it rather than being pulled out of the taskbar.
class WindowMover final : public MovableWindow {
public:
    explicit WindowMover(HWND window) : window_(window) {}
    int left() const override { return rect().left; }
    int top() const override { return rect().top; }
    int width() const override { return rect().right - rect().left; }
    int height() const override { return rect().bottom - rect().top; }
    ScreenArea workArea() const override {
        const RECT r = rect();
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &monitor))
            return {r.left, r.top, r.right, r.bottom};
        return {monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right, monitor.rcWork.bottom};
    }
    void moveTo(int left, int top) override {
        if (!IsIconic(window_)) {
            SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return;
        }
        WINDOWPLACEMENT placement = restoredPlacement();
        const POINT offset = workspaceOffset();
        OffsetRect(&placement.rcNormalPosition, left - offset.x - placement.rcNormalPosition.left,
                   top - offset.y - placement.rcNormalPosition.top);
        placement.showCmd = IsWindowVisible(window_) ? SW_SHOWMINNOACTIVE : SW_HIDE;
        SetWindowPlacement(window_, &placement);
    }

private:
    WINDOWPLACEMENT restoredPlacement() const {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        GetWindowPlacement(window_, &placement);
        return placement;
    }
    // The restored place is kept in workspace coordinates, which start at the
    // corner of the work area of the primary monitor rather than of the screen.
    static POINT workspaceOffset() {
        MONITORINFO primary{};
        primary.cbSize = sizeof primary;
        GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary);
        return {primary.rcWork.left - primary.rcMonitor.left, primary.rcWork.top - primary.rcMonitor.top};
    }
    // The window's rectangle on the screen, its restored one when minimised.
    RECT rect() const {
        RECT r{};
        if (!IsIconic(window_)) {
            GetWindowRect(window_, &r);
            return r;
        }
        r = restoredPlacement().rcNormalPosition;
        const POINT offset = workspaceOffset();
        OffsetRect(&r, offset.x, offset.y);
        return r;
    }
    HWND window_;
};

}  // namespace orvane::ui

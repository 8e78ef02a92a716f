#pragma once
#include <windows.h>

#include "app/hourly_signal.hpp"

namespace orvane::ui {

// A top-level window moved by its left and top edges, at once, whether shown or not.
class WindowMover final : public MovableWindow {
public:
    explicit WindowMover(HWND window) : window_(window) {}
    int left() const override { return rect().left; }
    int top() const override { return rect().top; }
    void moveTo(int left, int top) override {
        SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

private:
    RECT rect() const {
        RECT r{};
        GetWindowRect(window_, &r);
        return r;
    }
    HWND window_;
};

}  // namespace orvane::ui

#pragma once

namespace orvane {

// A rectangle on the screen, right and bottom edges excluded.
struct ScreenArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where a window's left and top edges are.
struct WindowPlace {
    int left = 0, top = 0;
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// A top-level window as something that moves it sees it: its left and top
// edges, its size, and the work area of the monitor it is on (the screen less
// the taskbar).
class MovableWindow {
public:
    virtual ~MovableWindow() = default;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual ScreenArea workArea() const = 0;
    virtual void moveTo(int left, int top) = 0;
};

}  // namespace orvane

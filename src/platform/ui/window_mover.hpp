#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

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

// Moves of a window shown one per display frame, from a timer of the
// window's own: a composited desktop shows moves made in one go as a single
// jump. The window's thread goes on between two moves. The moves keep to
// their planned time, one frame each, on the count of `now` (milliseconds
// that never jump): where the timer comes late (a 16 ms timer comes every
// other tick of Windows' default 15.6 ms resolution, every 31 ms), the
// moves due meanwhile are passed over in whole rounds of `round` moves (a
// shake's back and forth), so that the moves shown still go back and forth.
// A count that stands still shows one move per timer event.
class PacedMoves {
public:
    static constexpr UINT frameMs = 16;
    explicit PacedMoves(UINT_PTR timer) : timer_(timer) {}
    // Starts anew, from where the window is; `done` follows the last move.
    void start(HWND window, std::vector<WindowPlace> moves, std::size_t round, std::function<std::int64_t()> now,
               std::function<void()> done) {
        window_ = window;
        round_ = std::max<std::size_t>(round, 1);
        moves_ = std::move(moves);
        next_ = 0;
        now_ = std::move(now);
        startedMs_ = now_();
        done_ = std::move(done);
        if (moves_.empty()) {
            finish();
            return;
        }
        SetTimer(window_, timer_, frameMs, nullptr);
    }
    bool running() const { return next_ < moves_.size(); }
    // The window's timer `id` fired: true when it was this one's.
    bool onTimer(UINT_PTR id) {
        if (id != timer_) return false;
        if (next_ < moves_.size()) {
            // The first move is due a frame after the start.
            const std::int64_t elapsed = now_() - startedMs_;
            const std::size_t due = elapsed > 0 ? static_cast<std::size_t>(elapsed / frameMs) : 0;
            const std::size_t last = moves_.size() - 1;
            std::size_t shown = next_;
            // Behind: the last move once it is due within a frame, so that
            // the shake ends on time.
            if (due > next_ + 1) shown = due >= last ? last : next_ + round_ * ((due - 1 - next_) / round_);
            WindowMover(window_).moveTo(moves_[shown].left, moves_[shown].top);
            next_ = shown + 1;
        }
        if (next_ >= moves_.size()) finish();
        return true;
    }

private:
    void finish() {
        KillTimer(window_, timer_);
        moves_.clear();
        next_ = 0;
        // Last: what follows may fail, or show a box.
        if (auto done = std::exchange(done_, nullptr)) done();
    }
    HWND window_ = nullptr;
    UINT_PTR timer_;
    std::vector<WindowPlace> moves_;
    std::size_t next_ = 0;
    std::size_t round_ = 1;
    std::function<std::int64_t()> now_;
    std::int64_t startedMs_ = 0;
    std::function<void()> done_;
};

}  // namespace orvane::ui

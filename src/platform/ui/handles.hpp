#pragma once
// One owner per handle: each of these frees what it holds exactly once.
#include <windows.h>

#include <utility>

namespace orvane::ui {

template <typename Handle, void (*Free)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle replacement = nullptr) {
        if (handle_ != nullptr && handle_ != replacement) Free(handle_);
        handle_ = replacement;
    }

private:
    Handle handle_ = nullptr;
};

inline void freeFont(HFONT h) { DeleteObject(h); }
inline void freeBitmap(HBITMAP h) { DeleteObject(h); }
inline void freeBrush(HBRUSH h) { DeleteObject(h); }
inline void freePen(HPEN h) { DeleteObject(h); }
inline void freeIcon(HICON h) { DestroyIcon(h); }
// ExtractIcon answers 0 or 1 when it found no icon: those are not icons.
inline void freeExtractedIcon(HICON h) {
    if (reinterpret_cast<UINT_PTR>(h) > 1) DestroyIcon(h);
}
inline void freeMenu(HMENU h) { DestroyMenu(h); }
inline void freeWindow(HWND h) { DestroyWindow(h); }

using FontHandle = UniqueHandle<HFONT, freeFont>;
using BitmapHandle = UniqueHandle<HBITMAP, freeBitmap>;
using BrushHandle = UniqueHandle<HBRUSH, freeBrush>;
using PenHandle = UniqueHandle<HPEN, freePen>;
using IconHandle = UniqueHandle<HICON, freeIcon>;
using ExtractedIconHandle = UniqueHandle<HICON, freeExtractedIcon>;
using MenuHandle = UniqueHandle<HMENU, freeMenu>;

// A window's drawing surface (the screen's for no window), given back at the
// end of its scope.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace orvane::ui

#include "platform/ui/window.hpp"

#include <exception>
#include <vector>

namespace orvane::ui {

namespace {

void registerClass(const wchar_t* className, HICON icon, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    wc.hIcon = icon;
    RegisterClassExW(&wc);
}

std::wstring widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return wide;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK matchControl(HWND child, LPARAM state) {
    auto* search = reinterpret_cast<ControlSearch*>(state);
    if (GetDlgCtrlID(child) != search->id) return TRUE;
    search->found = child;
    return FALSE;
}

}  // namespace

Window::~Window() { destroy(); }

void Window::destroy() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void Window::createFrame(const FrameSpec& layout, HWND owner, HMENU menu, HICON icon) {
    registerClass(layout.className, icon, &Window::procedure);
    const HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    RECT frame{0, 0, scale(layout.clientWidth), scale(layout.clientHeight)};
    AdjustWindowRectEx(&frame, layout.style, menu != nullptr, layout.exStyle);
    const int left = layout.left == static_cast<int>(CW_USEDEFAULT) ? CW_USEDEFAULT : scale(layout.left);
    const int top = layout.top == static_cast<int>(CW_USEDEFAULT) ? CW_USEDEFAULT : scale(layout.top);
    CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style, left, top,
                    frame.right - frame.left, frame.bottom - frame.top, owner, menu,
                    GetModuleHandleW(nullptr), this);
    clientSize_ = {scale(layout.clientWidth), scale(layout.clientHeight)};
}

void Window::fitClientArea() {
    // A menu bar that wraps onto more lines takes client height: give it back.
    RECT client;
    GetClientRect(hwnd_, &client);
    const int missingWidth = clientSize_.cx - (client.right - client.left);
    const int missingHeight = clientSize_.cy - (client.bottom - client.top);
    if (missingWidth == 0 && missingHeight == 0) return;
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left + missingWidth,
                 outer.bottom - outer.top + missingHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND Window::control(int id) const {
    if (const auto known = controls_.find(id); known != controls_.end()) return known->second;
    HWND found = GetDlgItem(hwnd_, id);
    if (found == nullptr) {
        ControlSearch search{id, nullptr};
        EnumChildWindows(hwnd_, matchControl, reinterpret_cast<LPARAM>(&search));
        found = search.found;
    }
    if (found != nullptr) controls_[id] = found;
    return found;
}

int Window::scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }

void Window::show() {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    BringWindowToTop(hwnd_);
}

void Window::hide() { ShowWindow(hwnd_, SW_HIDE); }
bool Window::isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }
void Window::setEnabled(bool enabled) { EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
bool Window::isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

LRESULT Window::defaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT Window::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lParam != 0) {
            onScroll(reinterpret_cast<HWND>(lParam), LOWORD(wParam));
            return 0;
        }
        return defaultHandling(message, wParam, lParam);
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case WM_CLOSE:
        onClose();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            activatedFrom_ = reinterpret_cast<HWND>(lParam);
            onActivate();
        }
        return defaultHandling(message, wParam, lParam);
    default:
        return defaultHandling(message, wParam, lParam);
    }
}

LRESULT Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // The one place where a handler's failure is caught: the error box shows
    // it, the rest of that handler is abandoned and the program goes on.
    try {
        return handleMessage(message, wParam, lParam);
    } catch (...) {
        errors_.reportFailure(std::current_exception());
    }
    return 0;
}

void ErrorReporter::reportFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        reportError(widen(error.what()));
    } catch (...) {
        reportError(L"Erreur inattendue");
    }
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->controls_.clear();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->dispatch(message, wParam, lParam);
}

std::wstring windowText(HWND hwnd) {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1);
    const int length = GetWindowTextW(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace orvane::ui

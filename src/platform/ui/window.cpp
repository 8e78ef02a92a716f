#include "platform/ui/window.hpp"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "platform/ui/tabs.hpp"

namespace orvane::ui {

namespace {

void registerClass(const wchar_t* className, int icon, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    if (icon != 0) wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(icon));
    RegisterClassExW(&wc);
}

std::wstring widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; *p != '\0'; ++p) wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    return wide;
}

#ifdef NDEBUG
MissingControlReport missingControlReport = nullptr;
#else
void stopAtMissingControl(HWND window, int id) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    std::fprintf(stderr, "%ls has no control %d\n", className, id);
    std::abort();
}
MissingControlReport missingControlReport = stopAtMissingControl;
#endif

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

BOOL CALLBACK collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// Every control of a window, on its tab pages too.
std::vector<HWND> descendants(HWND window) {
    std::vector<HWND> all;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&all));
    return all;
}

bool isClass(HWND window, const wchar_t* className) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return lstrcmpiW(name, className) == 0;
}

// The per-monitor functions come with Windows 10; before, one DPI holds for all.
template <typename Function>
Function user32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int systemDpi() {
    const WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

void adjustFrame(RECT& frame, DWORD style, bool menu, DWORD exStyle, int dpi) {
    using Adjust = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = user32Function<Adjust>("AdjustWindowRectExForDpi");
    if (adjust != nullptr) adjust(&frame, style, menu ? TRUE : FALSE, exStyle, static_cast<UINT>(dpi));
    else AdjustWindowRectEx(&frame, style, menu ? TRUE : FALSE, exStyle);
}

}  // namespace

int windowDpi(HWND window) {
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow = user32Function<ForWindow>("GetDpiForWindow");
    const int dpi = forWindow != nullptr ? static_cast<int>(forWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

int systemMetricAt(int index, int dpi) {
    using ForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = user32Function<ForDpi>("GetSystemMetricsForDpi");
    if (forDpi != nullptr) return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi());
}

Window::~Window() { destroy(); }

void Window::destroy() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void Window::createFrame(const FrameSpec& layout, HWND owner, HMENU menu, int icon) {
    registerClass(layout.className, icon, &Window::procedure);
    iconResource_ = icon;
    dpi_ = systemDpi();
    layoutClient_ = {layout.clientWidth, layout.clientHeight};
    clientSize_ = {scale(layout.clientWidth), scale(layout.clientHeight)};

    RECT frame{0, 0, clientSize_.cx, clientSize_.cy};
    adjustFrame(frame, layout.style, menu != nullptr, layout.exStyle, dpi_);
    const int left = layout.left == static_cast<int>(CW_USEDEFAULT) ? CW_USEDEFAULT : scale(layout.left);
    const int top = layout.top == static_cast<int>(CW_USEDEFAULT) ? CW_USEDEFAULT : scale(layout.top);
    CreateWindowExW(layout.exStyle, layout.className, layout.caption, layout.style, left, top,
                    frame.right - frame.left, frame.bottom - frame.top, owner, menu,
                    GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) return;
    // Placed on a monitor of another scale than the system's, it takes that one.
    if (const int placedAt = windowDpi(hwnd_); placedAt != dpi_) changeDpi(placedAt, nullptr);
    else setIcons();
}

void Window::setIcons() {
    if (iconResource_ == 0) return;
    // The icons at the sizes the system shows them at this scale.
    const auto load = [this](int width, int height) {
        return IconHandle(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconResource_),
                                                        IMAGE_ICON, systemMetricAt(width, dpi_),
                                                        systemMetricAt(height, dpi_), LR_DEFAULTCOLOR)));
    };
    IconHandle big = load(SM_CXICON, SM_CYICON);
    IconHandle small = load(SM_CXSMICON, SM_CYSMICON);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    bigIcon_ = std::move(big);
    smallIcon_ = std::move(small);
}

HFONT Window::font(const FontLook& look) {
    for (const KeptFont& kept : fonts_)
        if (kept.look == look) return kept.handle.get();
    fonts_.push_back({look, makeFont(look, dpi_)});
    return fonts_.back().handle.get();
}

HWND Window::addControl(HWND parent, const ControlRow& row, HFONT controlFont) {
    const HWND created = createControl(parent, row, dpi_, controlFont);
    if (created == nullptr) return nullptr;
    placed_.push_back({created, {row.left, row.top, row.left + row.width, row.top + row.height}});
    // Some controls take a size of their own at creation (up-down arrows,
    // etched lines); the layout's holds, at every scale alike.
    RECT now{};
    GetWindowRect(created, &now);
    if ((row.width != 0 || row.height != 0) &&
        (now.right - now.left != scale(row.width) || now.bottom - now.top != scale(row.height)))
        SetWindowPos(created, nullptr, 0, 0, scale(row.width), scale(row.height),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return created;
}

void Window::addTabPages(TabPages& pages, int id, int left, int top, int width, int height,
                         const std::vector<std::wstring>& captions, HFONT tabFont) {
    pages.create(hwnd_, id, left, top, width, height, captions, dpi_, tabFont);
    tabPages_.push_back(&pages);
}

void Window::changeDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0 || hwnd_ == nullptr) return;
    dpi_ = dpi;
    // Fonts first: every control that shows one of ours takes its new size.
    std::vector<std::pair<HFONT, HFONT>> renewed;
    std::vector<FontHandle> previous;
    for (KeptFont& kept : fonts_) {
        FontHandle fresh = makeFont(kept.look, dpi_);
        renewed.emplace_back(kept.handle.get(), fresh.get());
        previous.push_back(std::exchange(kept.handle, std::move(fresh)));
    }
    const std::vector<HWND> children = descendants(hwnd_);
    for (const HWND window : children) {
        const auto shown = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
        for (const auto& [from, to] : renewed)
            if (shown == from) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(to), FALSE);
    }
    previous.clear();  // no control shows them any more

    for (const PlacedControl& placed : placed_) {
        const RECT& r = placed.layout;
        const bool sizesItself = r.right == r.left && r.bottom == r.top;
        SetWindowPos(placed.control, nullptr, scale(r.left), scale(r.top), scale(r.right - r.left),
                     scale(r.bottom - r.top), SWP_NOZORDER | SWP_NOACTIVATE | (sizesItself ? SWP_NOSIZE : 0));
    }
    for (TabPages* pages : tabPages_) pages->place(dpi_);
    for (const HWND window : children) {
        if (isClass(window, WC_STATICW) && isSizedToText(window)) fitLabelToText(window);
        // Arrows beside their field take their place again from the field's.
        if (isClass(window, UPDOWN_CLASSW) && (GetWindowLongW(window, GWL_STYLE) & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)) != 0)
            SendMessageW(window, UDM_SETBUDDY, static_cast<WPARAM>(SendMessageW(window, UDM_GETBUDDY, 0, 0)), 0);
    }

    clientSize_ = {scale(layoutClient_.cx), scale(layoutClient_.cy)};
    RECT frame{0, 0, clientSize_.cx, clientSize_.cy};
    if (suggested != nullptr) {
        frame = *suggested;
    } else {
        RECT now{};
        GetWindowRect(hwnd_, &now);
        adjustFrame(frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
                    static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi_);
        OffsetRect(&frame, now.left - frame.left, now.top - frame.top);
    }
    SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    fitClientArea();
    setIcons();
    onScaleChanged();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
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
    else if (missingControlReport != nullptr) missingControlReport(hwnd_, id);
    return found;
}

void reportMissingControlsTo(MissingControlReport report) { missingControlReport = report; }

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
    case WM_DPICHANGED:
        changeDpi(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_SETTINGCHANGE:
        // A high-contrast theme switched on or off: the pictures follow it
        // as they follow a change of colours.
        if (wParam != SPI_SETHIGHCONTRAST) return defaultHandling(message, wParam, lParam);
        [[fallthrough]];
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // The system's colours or theme changed (a high-contrast theme, the
        // user's own colours): the common controls are told, as they ask to
        // be, and every picture is made again on the new face colour.
        if (message == WM_SYSCOLORCHANGE) EnumChildWindows(hwnd_, tellColoursChanged, 0);
        onScaleChanged();
        InvalidateRect(hwnd_, nullptr, TRUE);
        return defaultHandling(message, wParam, lParam);
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            keepFocus();
        } else {
            activatedFrom_ = reinterpret_cast<HWND>(lParam);
            onActivate();
        }
        // Coming back, the system gives the focus to the frame (WM_SETFOCUS).
        return defaultHandling(message, wParam, lParam);
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    default:
        return defaultHandling(message, wParam, lParam);
    }
}

BOOL CALLBACK Window::tellColoursChanged(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

void Window::keepFocus() {
    const HWND focused = GetFocus();
    if (focused != nullptr && IsChild(hwnd_, focused)) keptFocus_ = focused;
}

namespace {

bool isRadioButton(HWND control) {
    wchar_t kind[16] = {};
    GetClassNameW(control, kind, 16);
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(kind, WC_BUTTONW) == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

// Where the focus may go in place of `control`: itself, unless it is a radio
// button that is not checked. On Windows an automatic radio button checks
// itself when it gets the focus, which would change the user's choice behind
// their back: the checked button of its group takes the focus instead, or,
// in a group with none checked, nothing does.
HWND focusableFor(HWND control) {
    if (!isRadioButton(control) || SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) return control;
    const HWND parent = GetParent(control);
    for (HWND other = GetNextDlgGroupItem(parent, control, FALSE); other != nullptr && other != control;
         other = GetNextDlgGroupItem(parent, other, FALSE))
        if (isRadioButton(other) && SendMessageW(other, BM_GETCHECK, 0, 0) == BST_CHECKED) return other;
    return nullptr;
}

}  // namespace

void Window::restoreFocus() {
    // Our windows are not system dialogs: the focus they had is theirs to
    // give back, or else the first control the Tab key reaches.
    HWND target = keptFocus_;
    if (target == nullptr || !IsWindow(target) || !IsChild(hwnd_, target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target))
        target = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (target != nullptr) target = focusableFor(target);
    if (target != nullptr) SetFocus(target);
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

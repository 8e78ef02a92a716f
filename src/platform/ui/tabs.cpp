#include "platform/ui/tabs.hpp"

#include <commctrl.h>

#include "platform/win32/system_library.hpp"

namespace orvane::ui {

namespace {

constexpr wchar_t pageClass[] = L"OrvaneTabPage";
constexpr wchar_t texturedPage[] = L"OrvaneTexturedPage";

// A page hands what its controls say to the form that holds it, so that a
// form's handlers see the same messages wherever a control sits.
//
// Where visual styles are on, a page draws the tab pane's own background
// (the system's dialog texture, which the dialog default procedure paints),
// and the controls on it that the form leaves to the default draw over that
// texture rather than over the plain button colour.
LRESULT CALLBACK pageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool textured = GetPropW(page, texturedPage) != nullptr;
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        const LRESULT formBrush = SendMessageW(GetParent(page), message, wParam, lParam);
        if (textured && formBrush == reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)))
            return DefDlgProcW(page, message, wParam, lParam);
        return formBrush;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
        return SendMessageW(GetParent(page), message, wParam, lParam);
    case WM_ERASEBKGND:
    case WM_CTLCOLORDLG:
    case WM_PRINTCLIENT:
        if (textured) return DefDlgProcW(page, message, wParam, lParam);
        return DefWindowProcW(page, message, wParam, lParam);
    case WM_NCDESTROY:
        RemovePropW(page, texturedPage);
        return DefWindowProcW(page, message, wParam, lParam);
    default:
        return DefWindowProcW(page, message, wParam, lParam);
    }
}

void registerPageClass() {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), pageClass, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = pageProcedure;
    // Room for what the dialog default procedure keeps, which paints the texture.
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = pageClass;
    RegisterClassExW(&wc);
}

}  // namespace

void TabPages::create(HWND form, int id, int left, int top, int width, int height,
                      const std::vector<std::wstring>& captions, int dpi, HFONT font) {
    registerPageClass();
    layout_ = {left, top, left + width, top + height};
    tab_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
                           0, 0, 0, 0, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
    if (font != nullptr) SendMessageW(tab_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (std::size_t i = 0; i < captions.size(); ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(captions[i].c_str());
        SendMessageW(tab_, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, pageClass, captions[i].c_str(),
                                          WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, form, nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
        // Pages lie above the tab control, which only draws the tabs and the frame.
        SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // Without visual styles (or the library), the plain colour as before.
        if (win32::lazy::enableThemeDialogTexture(page, ETDT_ENABLETAB)) SetPropW(page, texturedPage, page);
        pages_.push_back(page);
    }
    place(dpi);
    select(0);
}

void TabPages::place(int dpi) {
    dpi_ = dpi;
    // Scaled as the controls are: the corner, then the size.
    const int left = MulDiv(layout_.left, dpi, 96), top = MulDiv(layout_.top, dpi, 96);
    const RECT area{left, top, left + MulDiv(layout_.right - layout_.left, dpi, 96),
                    top + MulDiv(layout_.bottom - layout_.top, dpi, 96)};
    SetWindowPos(tab_, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (padding_)
        SendMessageW(tab_, TCM_SETPADDING, 0, MAKELPARAM(MulDiv(padding_->cx, dpi, 96), MulDiv(padding_->cy, dpi, 96)));
    RECT last{};
    if (!tabWidth_ && !pages_.empty() &&
        SendMessageW(tab_, TCM_GETITEMRECT, pages_.size() - 1, reinterpret_cast<LPARAM>(&last)) &&
        last.right > area.right - area.left) {
        // Tabs that would not fit in one row share its width, as narrow as
        // needed, rather than hide behind scroll arrows.
        setTabWidth(0);
        setPadding(2, 3);
        return;
    }
    if (tabWidth_) {
        const int width = *tabWidth_ != 0 ? MulDiv(*tabWidth_, dpi, 96)
                                           : (area.right - area.left - MulDiv(4, dpi, 96)) / static_cast<int>(pages_.size());
        // A height of 0 leaves the row as high as the font and padding make it.
        SendMessageW(tab_, TCM_SETITEMSIZE, 0, MAKELPARAM(width, 0));
    }
    // The control measures its tabs again when given its font, padding included.
    SendMessageW(tab_, WM_SETFONT, static_cast<WPARAM>(SendMessageW(tab_, WM_GETFONT, 0, 0)), FALSE);
    placePages();
}

void TabPages::setTabWidth(int width) {
    SetWindowLongW(tab_, GWL_STYLE, GetWindowLongW(tab_, GWL_STYLE) | TCS_FIXEDWIDTH);
    tabWidth_ = width;
    place(dpi_);
}

void TabPages::setPadding(int horizontal, int vertical) {
    padding_ = SIZE{horizontal, vertical};
    place(dpi_);
}

void TabPages::placePages() {
    RECT display{};
    GetWindowRect(tab_, &display);
    MapWindowPoints(nullptr, GetParent(tab_), reinterpret_cast<POINT*>(&display), 2);
    SendMessageW(tab_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (const HWND page : pages_)
        SetWindowPos(page, nullptr, display.left, display.top, display.right - display.left,
                     display.bottom - display.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

int TabPages::selected() const { return static_cast<int>(SendMessageW(tab_, TCM_GETCURSEL, 0, 0)); }

void TabPages::select(int index) {
    SendMessageW(tab_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int i = 0; i < count(); ++i) ShowWindow(page(i), i == index ? SW_SHOW : SW_HIDE);
}

bool TabPages::handleNotify(const NMHDR& header) {
    if (header.hwndFrom != tab_ || header.code != TCN_SELCHANGE) return false;
    select(selected());
    return true;
}

}  // namespace orvane::ui

#include "platform/ui/controls.hpp"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "platform/ui/window.hpp"

namespace orvane::ui {

HWND createControl(HWND parent, const ControlRow& row, int dpi, HFONT font) {
    const HWND control = CreateWindowExW(
        row.exStyle, row.className, row.text, WS_CHILD | row.style, MulDiv(row.left, dpi, 96),
        MulDiv(row.top, dpi, 96), MulDiv(row.width, dpi, 96), MulDiv(row.height, dpi, 96), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), GetModuleHandleW(nullptr), nullptr);
    if (control != nullptr && font != nullptr)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

namespace {
// The button takes the focus while it is pressed (it needs it to be
// clicked); the focus goes back once the click is done.
LRESULT CALLBACK focusKeepingButton(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    constexpr wchar_t previousFocus[] = L"OrvanePreviousFocus";
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (const HWND focused = GetFocus(); focused != button) SetPropW(button, previousFocus, focused);
        return DefSubclassProc(button, message, wParam, lParam);
    case WM_LBUTTONUP: {
        const LRESULT result = DefSubclassProc(button, message, wParam, lParam);
        const auto focused = static_cast<HWND>(RemovePropW(button, previousFocus));
        if (focused != nullptr && IsWindow(focused) && GetFocus() == button) SetFocus(focused);
        return result;
    }
    case WM_NCDESTROY:
        RemovePropW(button, previousFocus);
        RemoveWindowSubclass(button, focusKeepingButton, 0);
        return DefSubclassProc(button, message, wParam, lParam);
    default:
        return DefSubclassProc(button, message, wParam, lParam);
    }
}
}  // namespace

void leaveFocusOnClick(HWND button) { SetWindowSubclass(button, focusKeepingButton, 0, 0); }

namespace {
// "MS Sans Serif" is a bitmap font, drawn in a few sizes only: at another
// scale its text would snap to the nearest of them, smaller than its scaled
// layout and jagged. Its TrueType twin draws it smooth at any size; at 96 DPI
// the bitmap font stays, as the windows were drawn for it.
const wchar_t* faceAtScale(const wchar_t* face, int dpi) {
    return dpi != 96 && std::wstring_view(face) == L"MS Sans Serif" ? L"Microsoft Sans Serif" : face;
}
}  // namespace

FontHandle makeFont(const FontLook& look, int dpi) {
    return FontHandle(CreateFontW(-MulDiv(look.pixelHeight, dpi, 96), 0, 0, 0, look.bold ? FW_BOLD : FW_NORMAL,
                                  FALSE, look.underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, faceAtScale(look.face, dpi)));
}

namespace {
// A label sized to its text is marked in its user data; a second mark says
// that the ten digits of its font are equally wide.
constexpr LONG_PTR sizedToText = 1;
constexpr LONG_PTR evenDigits = 2;
void fitLabel(HWND label, const std::wstring& text);

// The same text but for digits standing where digits stood.
bool digitsChangedOnly(const std::wstring& before, const std::wstring& after) {
    const auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if (before.size() != after.size()) return false;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i] != after[i] && !(digit(before[i]) && digit(after[i]))) return false;
    return true;
}

bool sizedMark(LONG_PTR mark) { return mark == sizedToText || mark == (sizedToText | evenDigits); }
}  // namespace

bool isSizedToText(HWND label) { return sizedMark(GetWindowLongPtrW(label, GWLP_USERDATA)); }

bool setLabelText(HWND label, const std::wstring& text, std::wstring& shown) {
    // A label is rewritten every second with mostly the same text: once it
    // has been sized to that text, leave it be.
    const LONG_PTR mark = GetWindowLongPtrW(label, GWLP_USERDATA);
    const bool sized = sizedMark(mark);
    if (sized && shown == text) return false;
    // Digits for digits, in a font whose digits are all as wide: the label
    // keeps its size (the time, every second).
    const bool keepsSize = sized && (mark & evenDigits) != 0 && digitsChangedOnly(shown, text);
    SetWindowTextW(label, text.c_str());
    shown = text;
    if (!keepsSize) fitLabel(label, text);  // and marks it
    return true;
}

bool setLabelText(HWND label, const std::wstring& text) {
    std::wstring shown = windowText(label);
    return setLabelText(label, text, shown);
}

void fitLabelToText(HWND label) { fitLabel(label, windowText(label)); }

namespace {
void fitLabel(HWND label, const std::wstring& text) {
    const WindowDC surface(label);
    const HDC dc = surface.get();
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    INT digits[10] = {};
    const bool even = GetCharWidth32W(dc, L'0', L'9', digits) &&
                      std::all_of(std::begin(digits), std::end(digits), [&](INT w) { return w == digits[0]; });
    SelectObject(dc, previous);
    const LONG_PTR mark = sizedToText | (even ? evenDigits : 0);
    if (GetWindowLongPtrW(label, GWLP_USERDATA) != mark) SetWindowLongPtrW(label, GWLP_USERDATA, mark);
    RECT now{};
    GetWindowRect(label, &now);
    if (now.right - now.left != extent.cx || now.bottom - now.top != metrics.tmHeight)
        SetWindowPos(label, nullptr, 0, 0, extent.cx, metrics.tmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
}  // namespace

void showSpinValue(HWND field, HWND arrows, int value) {
    const std::wstring text = std::to_wstring(value);
    if (text != windowText(field)) SetWindowTextW(field, text.c_str());
    SendMessageW(arrows, UDM_SETPOS32, 0, value);
}

bool stepSpinField(const NMHDR& header, HWND field, HWND arrows,
                   const std::function<int(const std::wstring& shown, int delta)>& step) {
    if (header.code != UDN_DELTAPOS || header.hwndFrom != arrows) return false;
    const int delta = reinterpret_cast<const NMUPDOWN&>(header).iDelta;
    showSpinValue(field, arrows, step(windowText(field), delta));
    return true;
}

namespace {

// A screen reader does not read every control's own text (a list box takes
// its name from the label before it): the name is given the way the system
// documents for that, as an annotation of the control. Where the system has
// none (COM not started on this thread), the text stands.
void annotateName(HWND control, const std::wstring& name) {
    // The class, its interface and the name property as oleacc.h names them,
    // kept here: the GUID libraries define them beside others the
    // accessibility library defines too.
    static constexpr CLSID accPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
    static constexpr IID accPropServicesInterface = {
        0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
    static constexpr MSAAPROPID accName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
    IAccPropServices* annotations = nullptr;
    if (FAILED(CoCreateInstance(accPropServices, nullptr, CLSCTX_INPROC_SERVER, accPropServicesInterface,
                                reinterpret_cast<void**>(&annotations))))
        return;
    annotations->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, accName, name.c_str());
    annotations->Release();
}

// The annotation waits for the first reader that asks the control for what
// it is (every reader sends it WM_GETOBJECT before it reads the annotation):
// the accessibility library, and the automation library it brings, are
// loaded only where a reader runs.
LRESULT CALLBACK annotateOnFirstAsk(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR) {
    if (message == WM_GETOBJECT || message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, annotateOnFirstAsk, 0);
        if (message == WM_GETOBJECT) annotateName(control, windowText(control));  // the name kept as its text
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void nameControl(HWND control, const std::wstring& name) {
    // Kept as every window keeps its text: a picture label would take a text
    // of its own for the name of a picture to load in place of the one shown.
    DefWindowProcW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetWindowSubclass(control, annotateOnFirstAsk, 0, 0);
}

void showControl(HWND control, bool shown) {
    // The control's own flag: its window may be hidden in the tray meanwhile.
    const bool shownNow = (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shownNow != shown) ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

}  // namespace orvane::ui

// The floor of the footprint figures: the least a Win32 clock can be, one
// window whose label a plain one-second timer rewrites. Built a second time
// with FLOOR_WITH_COMMON_CONTROLS, it also loads the common controls the clock
// uses (tab, track bar, up-down arrows, date picker), one of each, hidden,
// and does nothing more with them: the floor for memory. Built with
// FLOOR_ON_THE_SECOND, its timer is set again at each tick to land 2 ms after
// the next second boundary: the floor for how late a label can change.
#include <windows.h>
#ifdef FLOOR_WITH_COMMON_CONTROLS
#include <commctrl.h>

#include <initializer_list>
#endif

namespace {

constexpr int labelId = 102;

void showTime(HWND window) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[16];
    wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    SetDlgItemTextW(window, labelId, text);
#ifdef FLOOR_ON_THE_SECOND
    SetTimer(window, 1, 1000 - now.wMilliseconds + 2, nullptr);
#endif
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateWindowExW(0, L"STATIC", L"00:00:00", WS_CHILD | WS_VISIBLE, 72, 8, 120, 24, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(labelId)), nullptr, nullptr);
        SetTimer(window, 1, 1000, nullptr);
        return 0;
    case WM_TIMER:
        showTime(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"OrvaneFloor";
    RegisterClassW(&wc);
    const HWND window = CreateWindowExW(0, L"OrvaneFloor", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 290, 130, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
#ifdef FLOOR_WITH_COMMON_CONTROLS
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES |
                                                       ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    for (const wchar_t* kind : {WC_TABCONTROLW, TRACKBAR_CLASSW, UPDOWN_CLASSW, DATETIMEPICK_CLASSW})
        CreateWindowExW(0, kind, L"", WS_CHILD, 0, 0, 100, 24, window, nullptr, instance, nullptr);
#endif
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// The floor of the footprint figures: the least a Win32 clock can be, one
// window whose label a plain one-second timer rewrites.
#include <windows.h>

namespace {

constexpr int labelId = 102;

void showTime(HWND window) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[16];
    wsprintfW(text, L"%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
    SetDlgItemTextW(window, labelId, text);
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
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

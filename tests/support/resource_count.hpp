#pragma once
// The program's own count of what it holds of the system: GDI objects and
// windows. Under Wine GetGuiResources answers 0, so the GDI objects are found
// by asking the type of every slot of the process's handle table (a handle
// whose upper word is 0 names its slot whatever the object's generation).
#include <windows.h>

namespace orvane::testing {

inline int gdiObjectCount() {
    if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); counted != 0)
        return static_cast<int>(counted);
    int objects = 0;
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++objects;
    return objects;
}

inline BOOL CALLBACK countChildWindow(HWND, LPARAM counter) {
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

inline BOOL CALLBACK countOwnWindow(HWND window, LPARAM counter) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(counter);
    EnumChildWindows(window, countChildWindow, counter);
    return TRUE;
}

// Every window of this process, top-level and child.
inline int windowCount() {
    int windows = 0;
    EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

}  // namespace orvane::testing

#pragma once
// The probes find the program's windows from outside, by process and class.
#include <windows.h>

#include <cwchar>
#include <functional>

namespace bench {

struct ProgramWindowSearch {
    DWORD process;
    const wchar_t* className;
    const std::function<bool(HWND)>& accept;
    HWND found;
};

inline BOOL CALLBACK matchProgramWindow(HWND hwnd, LPARAM state) {
    auto* search = reinterpret_cast<ProgramWindowSearch*>(state);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (pid != search->process || std::wcscmp(name, search->className) != 0 ||
        (search->accept && !search->accept(hwnd)))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// The first top-level window of `process` of that class that `accept` takes
// (any, without it), or null.
inline HWND findProgramWindow(DWORD process, const wchar_t* className,
                              const std::function<bool(HWND)>& accept = nullptr) {
    ProgramWindowSearch search{process, className, accept, nullptr};
    EnumWindows(matchProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace bench

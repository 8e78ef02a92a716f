// Lays the measured programs' windows side by side on the desktop, none
// covering another: a covered window's every paint is clipped to what shows
// of it, at a cost that depends on where it lies in the pile, and programs
// started one after the other pile up in the order they started.
// Usage: tile_windows COUNT CLASS... Fails unless exactly COUNT visible
// top-level windows of those classes are found and end up apart.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

struct Found {
    HWND window;
    DWORD process;
    RECT rect;
};

struct Search {
    std::vector<const wchar_t*> classes;
    std::vector<Found> found;
};

BOOL CALLBACK collect(HWND window, LPARAM state) {
    auto* search = reinterpret_cast<Search*>(state);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    const bool wanted = std::any_of(search->classes.begin(), search->classes.end(),
                                    [&](const wchar_t* kind) { return std::wcscmp(kind, name) == 0; });
    if (!wanted || !IsWindowVisible(window)) return TRUE;
    Found one{window, 0, {}};
    GetWindowThreadProcessId(window, &one.process);
    GetWindowRect(window, &one.rect);
    search->found.push_back(one);
    return TRUE;
}

std::vector<Found> windowsOf(const std::vector<const wchar_t*>& classes) {
    Search search{classes, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || !std::iswdigit(argv[1][0])) {
        fwprintf(stderr, L"usage: tile_windows COUNT CLASS...\n");
        return 2;
    }
    const std::size_t expected = static_cast<std::size_t>(_wtoi(argv[1]));
    const std::vector<const wchar_t*> classes(argv + 2, argv + argc);
    std::vector<Found> windows = windowsOf(classes);
    if (windows.size() != expected) {
        fwprintf(stderr, L"tile_windows: expected %zu windows, found %zu\n", expected, windows.size());
        return 1;
    }
    // In the order the programs started, a cell each, as large as the
    // largest window with a margin.
    std::sort(windows.begin(), windows.end(), [](const Found& a, const Found& b) { return a.process < b.process; });
    constexpr int margin = 10;
    int cellWidth = 0, cellHeight = 0;
    for (const Found& one : windows) {
        cellWidth = std::max<int>(cellWidth, one.rect.right - one.rect.left + margin);
        cellHeight = std::max<int>(cellHeight, one.rect.bottom - one.rect.top + margin);
    }
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int columns = std::max(1, static_cast<int>(work.right - work.left) / cellWidth);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const int column = static_cast<int>(i) % columns, row = static_cast<int>(i) / columns;
        SetWindowPos(windows[i].window, nullptr, work.left + column * cellWidth, work.top + row * cellHeight, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Read back: each where it was put, on the work area, and apart.
    windows = windowsOf(classes);
    for (std::size_t i = 0; i < windows.size(); ++i) {
        RECT inside{};
        if (!IntersectRect(&inside, &windows[i].rect, &work) || !EqualRect(&inside, &windows[i].rect)) {
            fwprintf(stderr, L"tile_windows: a window of process %lu is not wholly on the desktop\n",
                     windows[i].process);
            return 1;
        }
        for (std::size_t j = i + 1; j < windows.size(); ++j) {
            RECT both{};
            if (IntersectRect(&both, &windows[i].rect, &windows[j].rect)) {
                fwprintf(stderr, L"tile_windows: the windows of processes %lu and %lu still overlap\n",
                         windows[i].process, windows[j].process);
                return 1;
            }
        }
    }
    wprintf(L"tiled=%zu\n", windows.size());
    return 0;
}

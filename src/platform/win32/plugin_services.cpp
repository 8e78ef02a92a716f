#include "platform/win32/plugin_services.hpp"

#include <windows.h>

#include "platform/win32/long_paths.hpp"

namespace orvane::win32 {

namespace {

// The finer library search came with an update of Windows 7; without it the
// flags below are refused, and the older way is used.
bool hasSearchFlags() {
    static const bool present =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "AddDllDirectory") != nullptr;
    return present;
}

// While loading, the system shows no box of its own about a missing
// dependency or a broken file: the program says so itself.
class QuietLoaderErrors {
public:
    QuietLoaderErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous_); }
    ~QuietLoaderErrors() { SetThreadErrorMode(previous_, nullptr); }
    QuietLoaderErrors(const QuietLoaderErrors&) = delete;
    QuietLoaderErrors& operator=(const QuietLoaderErrors&) = delete;

private:
    DWORD previous_ = 0;
};

}  // namespace

std::vector<std::wstring> DiskFileSearch::find(const std::wstring& pattern) const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    const HANDLE search =
        FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &entry, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.emplace_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

PluginLibraries::Handle PluginLibraryLoader::load(const std::wstring& fullPath) {
    const QuietLoaderErrors quiet;
    // A library the plug-in needs is found in the plug-in's own folder, then in
    // the program's and the system's; never in the current folder or on PATH.
    const DWORD flags = hasSearchFlags() ? LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                                         : LOAD_WITH_ALTERED_SEARCH_PATH;
    // The loader takes no path longer than MAX_PATH.
    const std::optional<std::wstring> spelt = pathForOlderCalls(fullPath);
    return spelt ? LoadLibraryExW(spelt->c_str(), nullptr, flags) : nullptr;
}

PluginLibraries::Entry PluginLibraryLoader::find(Handle library, const char* name) {
    return reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name)));
}

PluginCallResult PluginLibraryLoader::call(Entry entry) {
    if (const auto found = aborted_.find(entry); found != aborted_.end()) return found->second;
    PluginCallResult result = callGuarded(entry);
    if (result.outcome == PluginCallResult::Outcome::aborted) aborted_.emplace(entry, result);
    return result;
}

void restrictLibrarySearch() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDirectories = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDirectories != nullptr) setDefaultDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    // Where that call is missing, this at least takes the current folder out.
    SetDllDirectoryW(L"");
}

}  // namespace orvane::win32

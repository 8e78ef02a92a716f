#include "platform/win32/file_chooser.hpp"

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <vector>

namespace orvane::win32 {

namespace {

std::optional<std::wstring> runChooser(HWND owner, const std::wstring& current, const std::wstring& filter) {
    // Room for the longest path the system accepts.
    std::vector<wchar_t> file(32768, L'\0');
    if (current.size() < file.size()) current.copy(file.data(), current.size());
    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    // The filter pairs are separated by NULs; c_str() adds the closing one.
    request.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = file.data();
    request.nMaxFile = static_cast<DWORD>(file.size());
    // The program's own folder must not change behind its back.
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (GetOpenFileNameW(&request)) return std::wstring(file.data());
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> OpenFileChooser::open(void* owner, const std::wstring& current,
                                                  const std::wstring& filter) {
    const HWND window = static_cast<HWND>(owner);
    std::optional<std::wstring> chosen = runChooser(window, current, filter);
    // A name the chooser cannot start from (a path that no longer parses) must
    // not keep the user from choosing another: start again from nothing.
    if (!chosen && !current.empty() && CommDlgExtendedError() == FNERR_INVALIDFILENAME)
        chosen = runChooser(window, L"", filter);
    return chosen;
}

}  // namespace orvane::win32

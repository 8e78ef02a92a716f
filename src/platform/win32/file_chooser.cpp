#include "platform/win32/file_chooser.hpp"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "platform/win32/system_library.hpp"

namespace orvane::win32 {

std::optional<std::wstring> OpenFileChooser::open(void* owner, const std::wstring& current,
                                                  const std::wstring& filter) {
    // Room for the longest path the system accepts.
    std::vector<wchar_t> name(32768, L'\0');
    current.copy(name.data(), std::min(current.size(), name.size() - 1));

    // The list ends with an empty part: make sure of two NULs at its end.
    std::wstring pairs = filter;
    if (!pairs.empty()) {
        if (pairs.back() != L'\0') pairs.push_back(L'\0');
        pairs.push_back(L'\0');
    }

    OPENFILENAMEW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = static_cast<HWND>(owner);
    request.lpstrFilter = pairs.empty() ? nullptr : pairs.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = name.data();
    request.nMaxFile = static_cast<DWORD>(name.size());
    // The program's own files are found from its folder, never from the
    // working folder; the chooser must not move it all the same.
    request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                    OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (lazy::openFileDialog(&request)) return std::wstring(name.data());
    // A starting name the chooser refuses (its folder is gone, it holds a
    // character no file name may hold) must not lock the user out: start
    // afresh from an empty name. A plain cancel leaves no error.
    if (lazy::fileDialogError() == 0 || current.empty()) return std::nullopt;
    std::fill(name.begin(), name.end(), L'\0');
    if (lazy::openFileDialog(&request)) return std::wstring(name.data());
    return std::nullopt;
}

}  // namespace orvane::win32

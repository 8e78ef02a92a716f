#include "platform/win32/long_paths.hpp"

#include <windows.h>

namespace orvane::win32 {

namespace {

constexpr wchar_t extended[] = L"\\\\?\\";

// The path by short names, asked with the extended prefix so that the
// system takes a long one whatever its long-path setting; nothing when a
// part of it is missing.
std::optional<std::wstring> shortNames(const std::wstring& path) {
    std::wstring asked = path;
    if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') asked = extended + path;
    else if (path.rfind(L"\\\\", 0) == 0 && path.rfind(extended, 0) != 0) asked = L"\\\\?\\UNC\\" + path.substr(2);
    const DWORD size = GetShortPathNameW(asked.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring spelt(size, L'\0');
    const DWORD length = GetShortPathNameW(asked.c_str(), spelt.data(), size);
    if (length == 0 || length >= size) return std::nullopt;
    spelt.resize(length);
    if (asked.rfind(L"\\\\?\\UNC\\", 0) == 0 && spelt.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + spelt.substr(8);
    if (asked.rfind(extended, 0) == 0 && spelt.rfind(extended, 0) == 0 && path.rfind(extended, 0) != 0)
        return spelt.substr(4);
    return spelt;
}

}  // namespace

std::optional<std::wstring> pathForOlderCalls(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos) {
        const std::optional<std::wstring> folder = shortNames(path.substr(0, separator));
        if (folder && folder->size() + path.size() - separator < MAX_PATH) return *folder + path.substr(separator);
    }
    std::optional<std::wstring> whole = shortNames(path);
    if (whole && whole->size() < MAX_PATH) return whole;
    return std::nullopt;
}

std::wstring pathTooLongText(const std::wstring& path) {
    return L"Windows ne peut pas ouvrir «\u00A0" + path + L"\u00A0» : son chemin est trop long (" +
           std::to_wstring(path.size()) + L" caractères, " + std::to_wstring(MAX_PATH - 1) +
           L" au plus). Placez ce fichier dans un dossier moins profond.";
}

}  // namespace orvane::win32

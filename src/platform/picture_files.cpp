#include "platform/picture_files.hpp"

#include <algorithm>
#include <cwctype>

namespace orvane {

std::wstring pictureExtension(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    const std::size_t separator = path.find_last_of(L"\\/:");
    if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator)) return L"";
    return path.substr(dot + 1);
}

PictureKind pictureKind(const std::wstring& path) {
    std::wstring extension = pictureExtension(path);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    if (extension == L"bmp") return PictureKind::Bitmap;
    if (extension == L"ico") return PictureKind::Icon;
    if (extension == L"wmf") return PictureKind::Metafile;
    if (extension == L"emf") return PictureKind::EnhancedMetafile;
    return PictureKind::Unknown;
}

}  // namespace orvane

#pragma once
#include <string>

namespace orvane {

// The picture files the program reads, told apart by their extension.
enum class PictureKind { Bitmap, Icon, Metafile, EnhancedMetafile, Unknown };
// The extension without its dot ("" when the name has none).
std::wstring pictureExtension(const std::wstring& path);
PictureKind pictureKind(const std::wstring& path);

}  // namespace orvane

#include "platform/ui/picture.hpp"

#include <algorithm>
#include <cstring>

#include "platform/picture_files.hpp"
#include "platform/win32/file_bytes.hpp"
#include "platform/win32/long_paths.hpp"

namespace orvane::ui {

BitmapCanvas::BitmapCanvas(HBITMAP bitmap)
    : dc_(CreateCompatibleDC(nullptr)), previous_(SelectObject(dc_, bitmap)) {}

BitmapCanvas::~BitmapCanvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
}

KeptDc::~KeptDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
}

HDC KeptDc::dc() {
    if (dc_ == nullptr) dc_ = CreateCompatibleDC(nullptr);
    return dc_;
}

BitmapHandle createPictureBitmap(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) {
        BitmapCanvas canvas(bitmap.get());
        RECT all{0, 0, width, height};
        FillRect(canvas.dc(), &all, GetSysColorBrush(COLOR_BTNFACE));
    }
    return bitmap;
}

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

namespace {

void stretch(HBITMAP from, SIZE fromSize, HBITMAP to, SIZE toSize, int mode) {
    BitmapCanvas source(from);
    BitmapCanvas target(to);
    SetStretchBltMode(target.dc(), mode);
    SetBrushOrgEx(target.dc(), 0, 0, nullptr);
    StretchBlt(target.dc(), 0, 0, toSize.cx, toSize.cy, source.dc(), 0, 0, fromSize.cx, fromSize.cy, SRCCOPY);
}

}  // namespace

BitmapHandle scalePicture(HBITMAP picture, int dpi, int fromDpi) {
    const SIZE from = bitmapSize(picture);
    const SIZE to{std::max(1, MulDiv(from.cx, dpi, fromDpi)), std::max(1, MulDiv(from.cy, dpi, fromDpi))};
    BitmapHandle scaled = createPictureBitmap(to.cx, to.cy);
    if (!scaled) return {};
    if (dpi % fromDpi == 0 || dpi < fromDpi) {
        stretch(picture, from, scaled.get(), to, dpi < fromDpi ? HALFTONE : COLORONCOLOR);
        return scaled;
    }
    const int whole = dpi / fromDpi + 1;
    const SIZE enlargedSize{from.cx * whole, from.cy * whole};
    const BitmapHandle enlarged = createPictureBitmap(enlargedSize.cx, enlargedSize.cy);
    if (!enlarged) return {};
    stretch(picture, from, enlarged.get(), enlargedSize, COLORONCOLOR);
    stretch(enlarged.get(), enlargedSize, scaled.get(), to, HALFTONE);
    return scaled;
}

namespace {

// The program's pictures are 8-bit bitmaps drawn on the face colour of
// dialogs of Windows 10 and later, the first entry of their colour table,
// with their dark outline in the second. The first takes the face colour in
// use now, which a high-contrast theme or the user's own colours change;
// under a high-contrast theme the second takes the theme's text colour, as
// the texts beside the pictures do.
void takeTheThemeColours(HBITMAP picture, std::optional<COLORREF> outline) {
    BitmapCanvas canvas(picture);
    RGBQUAD colours[2];
    if (GetDIBColorTable(canvas.dc(), 0, 2, colours) != 2) return;
    const auto entry = [](COLORREF colour) {
        return RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0};
    };
    colours[0] = entry(GetSysColor(COLOR_BTNFACE));
    if (outline) colours[1] = entry(*outline);
    SetDIBColorTable(canvas.dc(), 0, 2, colours);
}

HBITMAP loadOwnPicture(int id) {
    return static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// The program's bitmap that a file holds byte for byte after its file
// header, as the resource compiler keeps it.
struct OwnPictureSearch {
    const std::string& bytes;
    int found = 0;
};

BOOL CALLBACK compareOwnPicture(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR state) {
    auto* search = reinterpret_cast<OwnPictureSearch*>(state);
    const HRSRC resource = FindResourceW(module, name, type);
    const DWORD size = resource != nullptr ? SizeofResource(module, resource) : 0;
    if (!IS_INTRESOURCE(name) || size == 0 || search->bytes.size() != size + sizeof(BITMAPFILEHEADER)) return TRUE;
    const void* held = LockResource(LoadResource(module, resource));
    if (held == nullptr || std::memcmp(held, search->bytes.data() + sizeof(BITMAPFILEHEADER), size) != 0) return TRUE;
    search->found = static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    return FALSE;
}

int ownPictureIn(const std::wstring& path) {
    // The program's pictures are small: a larger file is none of them.
    const std::optional<std::string> bytes = win32::fileBytes(path, 1024 * 1024);
    if (!bytes) return 0;
    OwnPictureSearch search{*bytes};
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2), compareOwnPicture,  // RT_BITMAP
                       reinterpret_cast<LONG_PTR>(&search));
    return search.found;
}

}  // namespace

BitmapHandle loadResourcePicture(int id, int dpi, std::optional<COLORREF> outline) {
    BitmapHandle picture(loadOwnPicture(id));
    if (picture) takeTheThemeColours(picture.get(), outline);
    if (!picture || dpi == 96) return picture;
    return scalePicture(picture.get(), dpi);
}

namespace {

// Pictures larger than this are not faces anyone would use; refuse them
// rather than allocate without bound.
constexpr int largestSide = 4096;

bool sensible(LONG width, LONG height) {
    return width > 0 && height > 0 && width <= largestSide && height <= largestSide;
}

BitmapHandle fromBitmapFile(const std::wstring& path, std::optional<COLORREF> outline) {
    const int own = ownPictureIn(path);
    BitmapHandle source(own != 0 ? loadOwnPicture(own)
                                 : static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!source) return {};
    const SIZE size = bitmapSize(source.get());
    if (!sensible(size.cx, size.cy)) return {};
    if (own != 0) takeTheThemeColours(source.get(), outline);
    BitmapHandle copy = createPictureBitmap(size.cx, size.cy);
    if (!copy) return {};
    BitmapCanvas from(source.get());
    BitmapCanvas to(copy.get());
    BitBlt(to.dc(), 0, 0, size.cx, size.cy, from.dc(), 0, 0, SRCCOPY);
    return copy;
}

BitmapHandle fromIconFile(const std::wstring& path) {
    IconHandle icon(static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    if (!icon) return {};
    ICONINFO info{};
    if (!GetIconInfo(icon.get(), &info)) return {};
    BitmapHandle mask(info.hbmMask);
    BitmapHandle colour(info.hbmColor);
    SIZE size = bitmapSize(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask);
    if (info.hbmColor == nullptr) size.cy /= 2;  // a monochrome icon stacks its two masks
    if (!sensible(size.cx, size.cy)) return {};
    BitmapHandle picture = createPictureBitmap(size.cx, size.cy);
    if (!picture) return {};
    BitmapCanvas canvas(picture.get());
    DrawIconEx(canvas.dc(), 0, 0, icon.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
    return picture;
}

BitmapHandle fromEnhancedMetafile(HENHMETAFILE metafile) {
    if (metafile == nullptr) return {};
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(metafile, sizeof header, &header);
    const LONG width = header.rclBounds.right - header.rclBounds.left + 1;
    const LONG height = header.rclBounds.bottom - header.rclBounds.top + 1;
    BitmapHandle picture;
    if (sensible(width, height)) picture = createPictureBitmap(width, height);
    if (picture) {
        BitmapCanvas canvas(picture.get());
        RECT frame{0, 0, width, height};
        PlayEnhMetaFile(canvas.dc(), metafile, &frame);
    }
    DeleteEnhMetaFile(metafile);
    return picture;
}

BitmapHandle fromWindowsMetafile(const std::wstring& path) {
    const std::optional<std::string> read = win32::fileBytes(path, 16 * 1024 * 1024);
    if (!read) return {};
    const auto* bytes = reinterpret_cast<const unsigned char*>(read->data());
    // A "placeable" metafile starts with a 22-byte header that the system's
    // reader does not expect.
    std::size_t offset = 0;
    if (read->size() > 22 && bytes[0] == 0xD7 && bytes[1] == 0xCD && bytes[2] == 0xC6 && bytes[3] == 0x9A) offset = 22;
    if (read->size() <= offset) return {};
    return fromEnhancedMetafile(
        SetWinMetaFileBits(static_cast<UINT>(read->size() - offset), bytes + offset, nullptr, nullptr));
}

}  // namespace

BitmapHandle loadPicture(const std::wstring& longPath, std::optional<COLORREF> outline) {
    // The picture calls take no path longer than MAX_PATH.
    const std::optional<std::wstring> spelt = win32::pathForOlderCalls(longPath);
    if (!spelt) return {};
    const std::wstring& path = *spelt;
    switch (pictureKind(longPath)) {
    case PictureKind::Bitmap:
        return fromBitmapFile(path, outline);
    case PictureKind::Icon:
        return fromIconFile(path);
    case PictureKind::EnhancedMetafile:
        return fromEnhancedMetafile(GetEnhMetaFileW(path.c_str()));
    case PictureKind::Metafile:
        return fromWindowsMetafile(path);
    case PictureKind::Unknown:
        break;
    }
    return {};
}

void setStaticPicture(HWND control, BitmapHandle& owner, BitmapHandle picture) {
    const auto given = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get())));
    // The control answers with the picture it showed; that is normally the one
    // we keep (freed below), but a control that made its own copy hands that back.
    if (given != nullptr && given != owner.get()) DeleteObject(given);
    owner = std::move(picture);
}

void fitPictureControl(HWND control, int limit) {
    const auto picture = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    const SIZE size = picture != nullptr ? bitmapSize(picture) : SIZE{limit, limit};
    const LONG width = std::min<LONG>(size.cx, limit), height = std::min<LONG>(size.cy, limit);
    RECT now{};
    GetWindowRect(control, &now);
    if (now.right - now.left != width || now.bottom - now.top != height)
        SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace orvane::ui

#pragma once
// Pictures read from files and drawn on.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/ui/handles.hpp"

namespace orvane::ui {

// A 24-bit bitmap of the given size, filled with the window background colour.
BitmapHandle createPictureBitmap(int width, int height);

// Reads a bitmap, icon, metafile or enhanced metafile into a 24-bit bitmap
// of the picture's own size, so that anything drawn on it keeps its colour.
// A file of no kind it reads, or that cannot be read as its kind, gives an
// empty handle. A picture is shown as its file holds it, unless the file
// holds one of the program's own pictures byte for byte (the built-in face
// shipped beside the program): that one is drawn as loadResourcePicture does.
BitmapHandle loadPicture(const std::wstring& path, std::optional<COLORREF> outline = std::nullopt);

SIZE bitmapSize(HBITMAP bitmap);

// A picture drawn for 96 DPI shown at a DPI, as a 24-bit bitmap of its size
// times the scale: pixel for pixel at whole multiples; in between, enlarged
// to the next whole multiple and smoothed down, so that edges stay as sharp
// as the scale allows.
// `fromDpi`: the scale the picture was drawn for.
BitmapHandle scalePicture(HBITMAP picture, int dpi, int fromDpi = 96);
// A bitmap resource of the program at a DPI (as it is at 96 DPI), on the
// face colour in use and, under a high-contrast theme, its outline in
// `outline`, the theme's text colour.
BitmapHandle loadResourcePicture(int id, int dpi, std::optional<COLORREF> outline);

// A memory DC with a bitmap selected; everything selected is put back.
class BitmapCanvas {
public:
    explicit BitmapCanvas(HBITMAP bitmap);
    ~BitmapCanvas();
    BitmapCanvas(const BitmapCanvas&) = delete;
    BitmapCanvas& operator=(const BitmapCanvas&) = delete;
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory DC kept for drawing into pictures again and again: making one
// costs more than a tick's drawing. Empty until first used.
class KeptDc {
public:
    KeptDc() = default;
    ~KeptDc();
    KeptDc(const KeptDc&) = delete;
    KeptDc& operator=(const KeptDc&) = delete;
    HDC dc();

private:
    HDC dc_ = nullptr;
};

// A picture selected into a kept DC for as long as this lives.
class Selected {
public:
    Selected(HDC dc, HBITMAP picture) : dc_(dc), previous_(SelectObject(dc, picture)) {}
    ~Selected() { SelectObject(dc_, previous_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Sets the picture of a SS_BITMAP static, which the caller's handle owns, and
// frees whatever picture the control gives back that is not the one kept.
void setStaticPicture(HWND control, BitmapHandle& owner, BitmapHandle picture);

// Fits a picture control to its picture at natural size, cut to a square of
// `limit` pixels: the control paints nothing beyond the picture, so the
// captions beside it stay readable.
void fitPictureControl(HWND control, int limit);

}  // namespace orvane::ui

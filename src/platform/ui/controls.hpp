#pragma once
// Child controls built from layout rows in pixels (96 DPI), and fonts.
#include <windows.h>

#include <string>

#include "platform/ui/handles.hpp"

namespace orvane::ui {

struct ControlRow {
    int id;
    const wchar_t* className;  // WC_STATIC, WC_BUTTON, STATUSCLASSNAMEW...
    const wchar_t* text;
    int left, top, width, height;
    DWORD style;  // besides WS_CHILD
    DWORD exStyle = 0;
};

// scale: the window's pixels-per-layout-pixel as (dpi, 96).
HWND createControl(HWND parent, const ControlRow& row, int dpi, HFONT font);

// A font by face name and character height in pixels (at 96 DPI).
FontHandle makeFont(const wchar_t* face, int pixelHeight, int dpi, bool bold = false,
                    bool underline = false);

// A label that sizes itself to its text, as a caption does.
void setLabelText(HWND label, const std::wstring& text);

int screenDpi();

// A button that a mouse click does not focus: the focus stays where it was,
// so that Space and Enter keep acting on the control the user was using.
void leaveFocusOnClick(HWND button);

// A spin field (an edit with its up-down arrows) made to show `value`: its
// text is rewritten only where it differs, so a caret is not moved for nothing.
void showSpinValue(HWND field, HWND arrows, int value);

// Shows or hides a control, touching it only when that changes (the clock
// asks every second, mostly for what is already shown).
void showControl(HWND control, bool shown);

}  // namespace orvane::ui

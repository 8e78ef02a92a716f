#pragma once
// Child controls built from layout rows in pixels (96 DPI), and fonts.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

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

// A font by face name and character height in pixels at 96 DPI.
struct FontLook {
    const wchar_t* face;
    int pixelHeight;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const FontLook& a, const FontLook& b) {
        return std::wstring_view(a.face) == b.face && a.pixelHeight == b.pixelHeight && a.bold == b.bold &&
               a.underline == b.underline;
    }
};
// At a scale other than 96 DPI, "MS Sans Serif" is made as its TrueType twin.
FontHandle makeFont(const FontLook& look, int dpi);

// A label that sizes itself to its text, as a caption does.
// Whether the text changed.
bool setLabelText(HWND label, const std::wstring& text);
// The same for a label that only the caller writes, every second or so: it
// keeps the text shown (`shown`), so that nothing is read back from the label.
bool setLabelText(HWND label, const std::wstring& text, std::wstring& shown);
// Sizes again a label set by setLabelText, once its font changed.
void fitLabelToText(HWND label);
bool isSizedToText(HWND label);

// A button that a mouse click does not focus: the focus stays where it was,
// so that Space and Enter keep acting on the control the user was using.
void leaveFocusOnClick(HWND button);

// A spin field (an edit with its up-down arrows) made to show `value`: its
// text is rewritten only where it differs, so a caret is not moved for nothing.
void showSpinValue(HWND field, HWND arrows, int value);

// An arrow of a spin field was pressed (`header` is UDN_DELTAPOS from
// `arrows`): the field steps from what it shows, as `step` gives the value
// for its text and the arrow's delta, and the arrows follow it. False for a
// notice from anything else. The arrows' own step is then to be refused,
// as it misses what was typed since.
bool stepSpinField(const NMHDR& header, HWND field, HWND arrows,
                   const std::function<int(const std::wstring& shown, int delta)>& step);

// The name a screen reader says for a control that shows a picture or
// nothing of its own (a picture button, a bell, a list): its window text,
// which such a control does not draw.
void nameControl(HWND control, const std::wstring& name);

// Shows or hides a control, touching it only when that changes (the clock
// asks every second, mostly for what is already shown).
void showControl(HWND control, bool shown);

}  // namespace orvane::ui

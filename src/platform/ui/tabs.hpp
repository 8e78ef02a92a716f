#pragma once
// A tab control whose pages are child windows: the controls of a tab live on
// its page, and the page passes their notifications on to the form.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace orvane::ui {

class TabPages {
public:
    // The tab control at the layout rectangle (96-DPI pixels), one page per
    // caption, the first one selected. Positions on a page are measured from
    // the top-left corner of the tab's display area.
    void create(HWND form, int id, int left, int top, int width, int height,
                const std::vector<std::wstring>& captions, int dpi, HFONT font);

    // Lays the tab control and its pages out again at a scale.
    void place(int dpi);
    // Every tab this wide (96-DPI pixels), the row keeping its height.
    void setTabWidth(int width);
    // The space around each caption (96-DPI pixels).
    void setPadding(int horizontal, int vertical);

    HWND tabControl() const { return tab_; }
    HWND page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    int count() const { return static_cast<int>(pages_.size()); }
    int selected() const;
    void select(int index);

    // For the form's WM_NOTIFY: follows the user's choice of tab.
    bool handleNotify(const NMHDR& header);

private:
    void placePages();

    HWND tab_ = nullptr;
    std::vector<HWND> pages_;
    RECT layout_{};  // 96-DPI pixels in the form
    int dpi_ = 96;
    std::optional<SIZE> padding_;  // 96-DPI pixels; the control's own by default
    std::optional<int> tabWidth_;  // tabs of one width (0: they share the row's)
};

}  // namespace orvane::ui

#pragma once
// A tab control whose pages are child windows: the controls of a tab live on
// its page, and the page passes their notifications on to the form.
#include <windows.h>

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

    HWND tabControl() const { return tab_; }
    HWND page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    int count() const { return static_cast<int>(pages_.size()); }
    int selected() const;
    void select(int index);

    // For the form's WM_NOTIFY: follows the user's choice of tab.
    bool handleNotify(const NMHDR& header);

private:
    HWND tab_ = nullptr;
    std::vector<HWND> pages_;
};

}  // namespace orvane::ui

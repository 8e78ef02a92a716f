#include "platform/ui/tabs.hpp"

#include <commctrl.h>
#include <uxtheme.h>
#include <vssym32.h>
#include <gtest/gtest.h>

#include "platform/ui/controls.hpp"
#include "platform/ui/window.hpp"

namespace orvane::ui {
namespace {

class NoErrors final : public ErrorReporter {
public:
    void reportError(const std::wstring& text) override { ADD_FAILURE() << "unexpected error box"; (void)text; }
};

// A form with three tabs and one button on each page.
class TabbedForm final : public Window {
public:
    using Window::Window;
    void create() {
        createFrame({L"OrvaneTabsTest", L"tabs", 300, 160}, nullptr, nullptr, 0);
        tabs.create(hwnd(), 100, 3, 3, 290, 150, {L"Un", L"Deux", L"Trois"}, 96, nullptr);
        for (int i = 0; i < 3; ++i)
            createControl(tabs.page(i), {200 + i, WC_BUTTONW, L"Configurer...", 24, 80, 75, 25, WS_VISIBLE}, 96,
                          nullptr);
    }
    TabPages tabs;
    std::vector<int> clicked;

protected:
    void onCommand(int id, int code, HWND) override {
        if (code == BN_CLICKED) clicked.push_back(id);
    }
    LRESULT onNotify(const NMHDR& header) override {
        tabs.handleNotify(header);
        return 0;
    }
};

TEST(TabPages, ShowOnePageAtATimeAndPassTheirControlsMessagesToTheForm) {
    NoErrors errors;
    TabbedForm form(errors);
    form.create();
    EXPECT_EQ(form.tabs.selected(), 0);
    EXPECT_TRUE(IsWindowVisible(form.tabs.page(0)) || !IsWindowVisible(form.hwnd()));
    EXPECT_FALSE(IsWindowVisible(form.tabs.page(1)));

    // The user clicks the third tab: the tab control says so to its parent.
    RECT third{};
    SendMessageW(form.tabs.tabControl(), TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third));
    const LPARAM at = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
    SendMessageW(form.tabs.tabControl(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(form.tabs.tabControl(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(form.tabs.selected(), 2);
    EXPECT_EQ(GetWindowLongW(form.tabs.page(2), GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
    EXPECT_EQ(GetWindowLongW(form.tabs.page(0), GWL_STYLE) & WS_VISIBLE, 0);

    // A control on a page is found by its number and its clicks reach the form.
    const HWND button = form.control(201);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetParent(button), form.tabs.page(1));
    SendMessageW(button, BM_CLICK, 0, 0);
    SendMessageW(form.control(202), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicked, (std::vector<int>{201, 202}));
}

// Under visual styles the pages show the tab pane's own background, not
// the plain button colour, and the labels on them draw over it.
TEST(TabPages, PagesShowTheThemedTabBackgroundUnderTheirLabels) {
    NoErrors errors;
    TabbedForm form(errors);
    form.create();
    const HWND label = createControl(form.tabs.page(0), {210, WC_STATICW, L"Un", 24, 20, 100, 16, WS_VISIBLE}, 96,
                                     nullptr);
    ShowWindow(form.hwnd(), SW_SHOWNOACTIVATE);
    // The tab pane's body as the theme draws it, where there is a theme.
    const HTHEME theme = OpenThemeData(form.tabs.tabControl(), L"TAB");
    COLORREF body = GetSysColor(COLOR_BTNFACE);
    if (theme != nullptr) {
        const HDC screen = GetDC(nullptr);
        const HDC dc = CreateCompatibleDC(screen);
        const HBITMAP picture = CreateCompatibleBitmap(screen, 40, 40);
        const HGDIOBJ previous = SelectObject(dc, picture);
        const RECT whole{0, 0, 40, 40};
        DrawThemeBackground(theme, dc, TABP_BODY, 0, &whole, nullptr);
        body = GetPixel(dc, 20, 20);
        SelectObject(dc, previous);
        DeleteObject(picture);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        CloseThemeData(theme);
    }
    RedrawWindow(form.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const auto shown = [](HWND window, int x, int y) {
        const HDC dc = GetDC(window);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    };
    EXPECT_EQ(shown(form.tabs.page(0), 150, 10), body);
    EXPECT_EQ(shown(label, 90, 8), body) << "beside the label's text";
}

}  // namespace
}  // namespace orvane::ui

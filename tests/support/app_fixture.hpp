#pragma once
// The program built in this process with fake services, and the small
// drivers that window tests share.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "common/window_shake.hpp"
#include "clock/main_window.hpp"
#include "platform/ui/window.hpp"
#include "support/fake_world.hpp"

namespace orvane::testing {

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override { start(); }
    void TearDown() override {
        app.reset();
        // A quit command leaves WM_QUIT behind; the next test starts clean.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    void start() {
        app.reset();
        app = std::make_unique<Application>(services);
        app->create();
    }

    TForm1& main() { return app->form1(); }
    std::wstring text(ui::Window& window, int id) { return ui::windowText(window.control(id)); }
    // The clock's tick at `t`, and the frames of a shake that it starts.
    void tickAt(const LocalTime& t) {
        world.clock.setLocal(t);
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
        endHourlyShake();
    }
    // Every frame of the hourly shake, as its timer gives them.
    void endHourlyShake() {
        while (main().shaking()) SendMessageW(main().hwnd(), WM_TIMER, TForm1::ShakeTimer, 0);
    }
    // Every frame of a shake: its timer fires until no step can be left.
    static void endShake(HWND window, UINT_PTR timer) {
        for (int frame = 0; frame < 2 * shakeCountLimit + 4; ++frame) SendMessageW(window, WM_TIMER, timer, 0);
    }

    // What a user does, and only that: a click on a control the user can
    // reach, a menu item, a window brought to the front, keys through the
    // program's own message loop. Results are read back from the controls.

    // The menu item of that number, or else a click on the button.
    void command(ui::Window& window, int id, int code = BN_CLICKED) {
        ASSERT_EQ(code, BN_CLICKED) << "no gesture sends that notice by itself: type or pick instead";
        if (holds(GetMenu(window.hwnd()), id) || (&window == &main() && holds(main().trayMenu(), id))) pick(window, id);
        else click(window.control(id));
    }
    // A click on a button, radio button, check box or picture button.
    void click(ui::Window& window, int id) { click(window.control(id)); }
    static void click(HWND control) {
        ASSERT_NE(control, nullptr);
        expectReachable(control);
        SendMessageW(control, BM_CLICK, 0, 0);
    }
    // The item of that number in the window's menu bar or, for the main
    // window, in its tray menu: the system sends the command once the menu closes.
    void pick(ui::Window& window, int id) {
        const bool onBar = IsWindowVisible(window.hwnd()) && IsWindowEnabled(window.hwnd()) &&
                           holds(GetMenu(window.hwnd()), id);
        const bool inTray = &window == &main() && holds(main().trayMenu(), id);
        ASSERT_TRUE(onBar || inTray) << "no menu item " << id << " the user can reach";
        SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    void pick(int id) { pick(main(), id); }
    // The close box in the window's caption (Alt+F4 and the system menu do the same).
    static void closeBox(ui::Window& window) { SendMessageW(window.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }
    // The window becomes the active one, as a click on it or Alt+Tab makes it.
    static void activate(ui::Window& window) { activate(window.hwnd()); }
    static void activate(HWND window) {
        if (underWindowManager() && (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
            keyboardTo(window);
            return;
        }
        // The manager brings forward only windows with a caption; a bare
        // window (a box's stand-in) comes forward the program's own way.
        SetForegroundWindow(window);
        SetActiveWindow(window);
        EXPECT_EQ(GetActiveWindow(), window);
    }
    // A click on a control that takes the keyboard: its window comes forward
    // and the control has the focus.
    static void focus(HWND control) {
        expectReachable(control);
        activate(GetAncestor(control, GA_ROOT));
        SetFocus(control);
        EXPECT_TRUE(GetFocus() == control || IsChild(control, GetFocus()))
            << "the keyboard went to control " << GetDlgCtrlID(GetFocus()) << " instead of " << GetDlgCtrlID(control);
    }
    // A click on a tab: the tab control itself tells its window of the change.
    static void clickTab(HWND tabControl, int index) {
        expectReachable(tabControl);
        RECT tab{};
        SendMessageW(tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tab));
        const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
        SendMessageW(tabControl, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(tabControl, WM_LBUTTONUP, 0, at);
        EXPECT_EQ(SendMessageW(tabControl, TCM_GETCURSEL, 0, 0), index);
    }
    // Keys pressed one after another, each to the control that has the focus
    // when it comes, through the program's own loop (where Tab, the arrows,
    // Enter and Escape move between controls as in a dialog).
    void press(std::initializer_list<UINT> keys, bool withShift = false) {
        if (underWindowManager()) {
            waitFor([] { return GetActiveWindow() != nullptr; }, "a window of the program to be active");
            activate(GetActiveWindow());
        }
        pressHere(keys, withShift);
    }
    void pressHere(std::initializer_list<UINT> keys, bool withShift = false) {
        for (const UINT key : keys) {
            ASSERT_NE(GetFocus(), nullptr) << "no window of the program has the keyboard focus";
            BYTE state[256] = {};
            GetKeyboardState(state);
            const BYTE shift = state[VK_SHIFT];
            state[VK_SHIFT] = withShift ? 0x80 : 0;
            SetKeyboardState(state);
            const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, 0)) << 16;
            PostMessageW(GetFocus(), WM_KEYDOWN, key, 1 | scan);
            PostMessageW(GetFocus(), WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000u));
            runMessages();
            state[VK_SHIFT] = shift;
            SetKeyboardState(state);
        }
    }
    // The field gets the focus, its text is selected and typed over character
    // by character: the field itself tells its window of each change.
    void type(HWND field, const std::wstring& typed) {
        focus(field);
        pressHere({VK_HOME});
        pressHere({VK_END}, true);
        if (typed.empty()) pressHere({VK_DELETE});
        for (const wchar_t c : typed) {
            PostMessageW(GetFocus(), WM_CHAR, c, 1);
            runMessages();
        }
    }
    void type(ui::Window& window, int id, const std::wstring& typed) { type(window.control(id), typed); }
    // The thumb of a track bar moved with the keyboard once the track bar has
    // the focus: Home or End, then whole pages, then single steps. The track
    // bar tells its window of every step.
    void slide(HWND trackBar, int position) {
        focus(trackBar);
        const int low = static_cast<int>(SendMessageW(trackBar, TBM_GETRANGEMIN, 0, 0));
        const int high = static_cast<int>(SendMessageW(trackBar, TBM_GETRANGEMAX, 0, 0));
        const int page = std::max(1, static_cast<int>(SendMessageW(trackBar, TBM_GETPAGESIZE, 0, 0)));
        const bool fromLow = position - low <= high - position;
        const int distance = fromLow ? position - low : high - position;
        pressHere({static_cast<UINT>(fromLow ? VK_HOME : VK_END)});
        for (int k = 0; k < distance / page; ++k) pressHere({static_cast<UINT>(fromLow ? VK_NEXT : VK_PRIOR)});
        for (int k = 0; k < distance % page; ++k) pressHere({static_cast<UINT>(fromLow ? VK_RIGHT : VK_LEFT)});
        EXPECT_EQ(SendMessageW(trackBar, TBM_GETPOS, 0, 0), position);
    }
    void slide(ui::Window& window, int id, int position) { slide(window.control(id), position); }
    // Serves what waits in the queue with the program's own loop.
    void runMessages() {
        PostQuitMessage(0);
        app->run();
    }
    // Serves the queue until `holds`, as a user waits for a window to come
    // up; after ten seconds, fails naming what did not come. A box may be
    // open, with its own loop: the program's is not run here.
    static bool waitFor(const std::function<bool()>& holds, const std::string& what) {
        for (const ULONGLONG until = GetTickCount64() + 10'000; !holds();) {
            if (GetTickCount64() > until) {
                ADD_FAILURE() << "timed out waiting for " << what;
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            serveQueue();
        }
        return true;
    }
    static void serveQueue() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that waits for it
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // Under a window manager the display gives the keyboard to the window
    // the manager makes active, not to the one the program does: the manager
    // does not bring forward a window that shows without the user's input,
    // and a window closed a moment ago still hands the keyboard on, which the
    // program hears late as losing it. A user who types into a window first
    // has it in front, clicking it (here: asking the manager, as a taskbar
    // does) when it is not, and waits until it is.
    static bool underWindowManager() { return GetEnvironmentVariableW(L"ORVANE_WINDOW_MANAGER", nullptr, 0) != 0; }
    static void keyboardTo(HWND window) {
        const std::string own =
            std::to_string(reinterpret_cast<std::uintptr_t>(GetPropW(window, L"__wine_x11_whole_window")));
        ULONGLONG askAgain = 0;
        int agreeing = 0;
        // Twice in a row, so that what the display said has reached the program.
        waitFor(
            [&] {
                const bool displayGives = askDisplay(L"getwindowfocus") == own;
                serveQueue();
                const HWND focus = GetFocus();
                const bool programTakes = GetActiveWindow() == window && focus != nullptr &&
                                          GetAncestor(focus, GA_ROOT) == window;
                agreeing = displayGives && programTakes ? agreeing + 1 : 0;
                if (agreeing == 0 && GetTickCount64() >= askAgain) {
                    askDisplay(L"windowactivate " + widen(own));
                    askAgain = GetTickCount64() + 1000;
                }
                return agreeing == 2;
            },
            "the window manager to give the keyboard to " + narrow(ui::windowText(window)));
    }
    // Runs xdotool and waits until it is done; gives what it answered, in a
    // file that is whole once it is there.
    static std::string askDisplay(const std::wstring& request) {
        static int asked = 0;
        const std::wstring answer = L"/tmp/orvane-display-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                    std::to_wstring(++asked);
        if (!startUnixProgram(L"/bin/sh -c \"xdotool " + request + L" >" + answer + L".part 2>&1; mv " + answer +
                              L".part " + answer + L"\""))
            return "(xdotool did not start)";
        const std::wstring file = L"Z:" + answer;
        for (const ULONGLONG until = GetTickCount64() + 10'000;
             GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES;) {
            if (GetTickCount64() > until) {
                ADD_FAILURE() << "timed out waiting for xdotool to do " << narrow(request);
                return "";
            }
            Sleep(2);
        }
        std::string said;
        std::getline(std::ifstream(std::filesystem::path(file)), said);
        DeleteFileW(file.c_str());
        return said;
    }
    // Wine starts a program of the system beside it and gives back no
    // process to wait for: no process handle, and a thread "handle" that is
    // not one (closing it would close whatever handle has that value).
    static bool startUnixProgram(std::wstring command) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
            return false;
        if (started.hProcess != nullptr) {
            CloseHandle(started.hProcess);
            CloseHandle(started.hThread);
        }
        return true;
    }
    static std::wstring widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }
    static std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }
    // What a user can reach: shown (its tab page too), enabled, in a window
    // that is not waiting for a dialog.
    static void expectReachable(HWND control) {
        EXPECT_TRUE(IsWindowVisible(control)) << "hidden control " << GetDlgCtrlID(control);
        EXPECT_TRUE(IsWindowEnabled(control)) << "disabled control " << GetDlgCtrlID(control);
        EXPECT_TRUE(IsWindowEnabled(GetAncestor(control, GA_ROOT))) << "its window waits for a dialog";
    }
    static bool holds(HMENU menu, int id) {
        if (menu == nullptr) return false;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            if (const HMENU sub = GetSubMenu(menu, i)) {
                if (holds(sub, id)) return true;
            } else if (GetMenuItemID(menu, i) == static_cast<UINT>(id)) {
                return (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
            }
        }
        return false;
    }
    // The colour of a pixel of a control as painted on screen.
    static std::uint32_t shownPixel(HWND control, int x, int y) {
        RedrawWindow(GetAncestor(control, GA_ROOT), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const HDC dc = GetDC(control);
        const COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(control, dc);
        return colour;
    }

    // A mouse click on the upper or lower arrow of an up-down control.
    static void pressArrow(HWND upDown, bool up, int times = 1) {
        expectReachable(upDown);
        RECT area;
        GetClientRect(upDown, &area);
        const LPARAM at = MAKELPARAM(area.right / 2, up ? area.bottom / 4 : area.bottom * 3 / 4);
        for (int i = 0; i < times; ++i) {
            SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(upDown, WM_LBUTTONUP, 0, at);
        }
    }

    FakeWorld world;
    Services services = world.services();
    std::unique_ptr<Application> app;
};

// A scratch folder on the real disk, removed with what it holds.
class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"orvane-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter()++) + L"\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW entry;
        const HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileW((path_ + entry.cFileName).c_str());
            while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryW(path_.c_str());
    }
    const std::wstring& path() const { return path_; }

private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::wstring path_;
};

// A 24-bit bitmap file of one colour (0x00BBGGRR).
inline void writeBitmapFile(const std::wstring& path, int width, int height, std::uint32_t colour) {
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(stride * height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[static_cast<std::size_t>(y * stride + x * 3)];
            p[0] = static_cast<unsigned char>(colour >> 16);
            p[1] = static_cast<unsigned char>(colour >> 8);
            p[2] = static_cast<unsigned char>(colour);
        }
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
}

// The colour of one pixel of a bitmap (0x00BBGGRR).
inline std::uint32_t pixelAt(HBITMAP bitmap, int x, int y) {
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, bitmap);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return colour;
}

// The program with a plain white 58 x 56 face and red hands, and the
// picture its dial shows.
class DialFixture : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        face = folder.path() + L"face.bmp";
        writeBitmapFile(face, 58, 56, 0xFFFFFF);
        world.files.files.insert(face);
        main().settings.Pendule = face;
        main().settings.Couleur = 0x0000FF;
    }
    HBITMAP dial() {
        return reinterpret_cast<HBITMAP>(SendMessageW(main().control(TForm1::Image1), STM_GETIMAGE, IMAGE_BITMAP, 0));
    }

    ScratchFolder folder;
    std::wstring face;
};

}  // namespace orvane::testing

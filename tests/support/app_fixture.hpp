#pragma once
// The program built in this process with fake services, and the small
// drivers that window tests share.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/application.hpp"
#include "app/main_window.hpp"
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
    void tickAt(const LocalTime& t) {
        world.clock.time = t;
        SendMessageW(main().hwnd(), WM_TIMER, TForm1::Timer1, 0);
    }
    void command(ui::Window& window, int id, int code = BN_CLICKED) {
        SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(window.control(id)));
    }

    // A mouse click on the upper or lower arrow of an up-down control.
    static void pressArrow(HWND upDown, bool up, int times = 1) {
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

}  // namespace orvane::testing

#pragma once
// Every service the program uses, faked, and the Services that hand them over.
#include "app/application.hpp"
#include "platform/win32/services.hpp"
#include "support/fake_profile.hpp"
#include "support/fake_services.hpp"

namespace orvane::testing {

// Real services in place of some fakes, for the tests that need the disk or
// real libraries.
struct RealServices {
    FileSystem* files = nullptr;
    FileSearch* fileSearch = nullptr;
    PluginLibraries* pluginLibraries = nullptr;
};

struct FakeWorld {
    FakeWorld() { shell.log = boxes.log = sound.log = &log; }
    FakeWorld(const FakeWorld&) = delete;
    FakeWorld& operator=(const FakeWorld&) = delete;

    // What the shell, the boxes and the speaker were asked, in the order asked.
    std::vector<std::wstring> log;
    FakeClock clock;
    FakeFormats formats;
    FakeProfile profile;
    FakeShell shell;
    FakeBoxes boxes;
    FakeFiles files;
    FakeTray tray;
    FakeSound sound;
    FakeRandom random;
    FakeFileChooser fileChooser;
    FakeColorChooser colorChooser;
    std::wstring exeFolder = L"C:\\Orvane\\";
    FakeFileSearch fileSearch;
    FakeLibraries pluginLibraries;
    std::wstring userFolder = L"C:\\Users\\Lea\\AppData\\Roaming\\Orvane\\";
    FakeWakeTimer wakeTimer;
    FakeStayAwake stayAwake;
    FakeHighContrast contrast;

    Services services() { return services(RealServices{}); }
    Services services(RealServices real) {
        return Services{.clock = clock,
                        .formats = formats,
                        .profile = profile,
                        .shell = shell,
                        .boxes = boxes,
                        .files = real.files != nullptr ? *real.files : files,
                        .tray = tray,
                        .exeFolder = exeFolder,
                        .exePath = win32::executablePath(),
                        .sound = sound,
                        .random = random,
                        .fileChooser = fileChooser,
                        .colorChooser = colorChooser,
                        .fileSearch = real.fileSearch != nullptr ? *real.fileSearch : fileSearch,
                        .pluginLibraries = real.pluginLibraries != nullptr ? *real.pluginLibraries : pluginLibraries,
                        .userFolder = userFolder,
                        .wakeTimer = wakeTimer,
                        .stayAwake = stayAwake,
                        .contrast = contrast};
    }
};

}  // namespace orvane::testing

#pragma once
// Every service the program uses, faked, and the Services that hand them over.
#include "app/application.hpp"
#include "platform/win32/services.hpp"
#include "support/fake_profile.hpp"
#include "support/fake_services.hpp"

namespace orvane::testing {

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

    Services services() {
        return Services{.clock = clock,
                        .formats = formats,
                        .profile = profile,
                        .shell = shell,
                        .boxes = boxes,
                        .files = files,
                        .tray = tray,
                        .exeFolder = exeFolder,
                        .exePath = win32::executablePath(),
                        .sound = sound,
                        .random = random,
                        .fileChooser = fileChooser,
                        .colorChooser = colorChooser,
                        .fileSearch = fileSearch,
                        .pluginLibraries = pluginLibraries,
                        .userFolder = userFolder};
    }
};

}  // namespace orvane::testing

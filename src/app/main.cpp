#include <windows.h>
#include <commctrl.h>

#include "app/application.hpp"
#include "common/error_text.hpp"
#include "platform/win32/media.hpp"
#include "platform/win32/file_chooser.hpp"
#include "platform/win32/plugin_services.hpp"
#include "platform/win32/power.hpp"
#include "platform/win32/running_copy.hpp"
#include "platform/win32/services.hpp"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything is loaded on demand (plug-ins above all).
    orvane::win32::restrictLibrarySearch();
    // A second start from the same folder brings the running clock back.
    orvane::win32::RunningCopy copy(orvane::win32::executableFolder());
    if (copy.handOver()) {
        if (copy.unreachable())
            MessageBoxW(nullptr, orvane::win32::unreachableCopyText, orvane::applicationTitle,
                        MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
        return 0;
    }
    // Before any call into the shell, on the thread that makes them.
    const orvane::win32::ComApartment com;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_DATE_CLASSES |
                                                       ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    orvane::win32::SystemClock clock;
    orvane::win32::UserRegionalFormats formats;
    orvane::win32::PrivateProfile profile;
    orvane::win32::ShellOpen shell;
    orvane::win32::SystemMessageBoxes boxes;
    orvane::win32::DiskFiles files;
    orvane::win32::NotificationAreaIcon tray;
    orvane::win32::DiskFileSearch fileSearch;
    orvane::win32::PluginLibraryLoader pluginLibraries;
    orvane::win32::SpeakerAndMediaPlayer sound;
    orvane::win32::SeededRandom random;
    orvane::win32::OpenFileChooser fileChooser;
    orvane::win32::SystemColorChooser colorChooser;
    orvane::win32::SystemWakeTimer wakeTimer;
    orvane::win32::ThreadStayAwake stayAwake;
    orvane::win32::SystemHighContrast contrast;
    const orvane::Services services{.clock = clock,
                                    .formats = formats,
                                    .profile = profile,
                                    .shell = shell,
                                    .boxes = boxes,
                                    .files = files,
                                    .tray = tray,
                                    .exeFolder = orvane::win32::executableFolder(),
                                    .exePath = orvane::win32::executablePath(),
                                    .sound = sound,
                                    .random = random,
                                    .fileChooser = fileChooser,
                                    .colorChooser = colorChooser,
                                    .fileSearch = fileSearch,
                                    .pluginLibraries = pluginLibraries,
                                    .userFolder = orvane::win32::userProgramFolder(),
                                    .wakeTimer = wakeTimer,
                                    .stayAwake = stayAwake,
                                    .contrast = contrast};

    orvane::Application app(services);
    app.create();
    copy.publish(app.form1().hwnd());
    const int exitCode = app.run();
    copy.withdraw();
    // Nothing more runs on memory a plug-in may have damaged: no window is
    // destroyed, no settings written, no library told the process ends.
    if (app.abandoned()) TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exitCode));
    app.finish();
    return exitCode;
}

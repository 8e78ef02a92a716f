#pragma once
#include <string>

#include "platform/choosers.hpp"
#include "platform/clock.hpp"
#include "platform/contrast.hpp"
#include "platform/file_chooser.hpp"
#include "platform/file_search.hpp"
#include "platform/files.hpp"
#include "platform/message_boxes.hpp"
#include "platform/plugin_libraries.hpp"
#include "platform/power.hpp"
#include "platform/profile.hpp"
#include "platform/random.hpp"
#include "platform/shell.hpp"
#include "platform/sound.hpp"
#include "platform/tray_icon.hpp"

namespace orvane {

// What the program uses of the world. The program gets the real ones; tests
// give fakes. Built by naming each field, so that two of one type (the
// folder and the path) cannot change places unseen.
struct Services {
    Clock& clock;
    RegionalFormats& formats;
    ProfileStore& profile;
    Shell& shell;
    MessageBoxes& boxes;
    FileSystem& files;
    TrayIcon& tray;
    std::wstring exeFolder;  // ends with the path separator
    std::wstring exePath;    // the program's icons are taken from it
    Sound& sound;
    Random& random;
    FileChooser& fileChooser;
    ColorChooser& colorChooser;
    FileSearch& fileSearch;
    PluginLibraries& pluginLibraries;
    // The user's own folder for the program's files (%APPDATA%\Orvane\),
    // ending with the path separator; empty when the system names none.
    std::wstring userFolder;
    WakeTimer& wakeTimer;
    StayAwake& stayAwake;
    HighContrast& contrast;
};

}  // namespace orvane

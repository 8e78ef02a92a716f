#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_search.hpp"
#include "platform/message_boxes.hpp"
#include "platform/plugin_libraries.hpp"

namespace orvane {

inline constexpr wchar_t pluginFolderName[] = L"plugins\\";
inline constexpr wchar_t pluginNamePattern[] = L"*.DLL";
inline constexpr char pluginEntryName[] = "plugin";
inline constexpr wchar_t pluginBoxTitle[] = L"Attention...";
inline constexpr wchar_t pluginNotLoadedText[] = L"DLL non trouvé!";
inline constexpr wchar_t notAPluginText[] = L"Ce DLL n'est pas un plugin!";

// One item of the "Plug-ins" menu: its caption and its ordinal in the search.
struct PluginItem {
    std::wstring caption;
    std::int32_t tag = 0;

    friend bool operator==(const PluginItem&, const PluginItem&) = default;
};

// The file name without its extension, the part from the last "." on:
// "Meteo.Paris.DLL" gives "Meteo.Paris".
std::wstring pluginCaption(const std::wstring& fileName);

// True when the name really ends with ".DLL", in any letter case. The system's
// search also matches a name by its short 8.3 alias, so that "Notes.dllx"
// (alias NOTES~1.DLL) would come back from a search for "*.DLL".
bool hasPluginExtension(const std::wstring& fileName);

// The text of the error box for a plug-in stopped inside its entry point.
std::wstring pluginFailureText(const std::wstring& caption, const PluginCallResult& result);

// Finds the plug-in libraries in the folder "plugins" of the executable's
// folder and runs them on request.
class PluginLoader {
public:
    PluginLoader(const FileSearch& search, PluginLibraries& libraries, MessageBoxes& boxes,
                 std::wstring exeFolder);

    // One item per entry of the folder (folders whose names match included),
    // tagged 0, 1, 2... in the search's order. None when there is no folder.
    // The names found are kept for RunPlugin.
    std::vector<PluginItem> discover();

    // Runs the entry listed with this ordinal at discovery: loads that file
    // by its full path and calls its entry point. A library that does not load
    // (also one removed since) or has no entry point gets its message box; a
    // failure inside the entry point throws UserError for the program's error
    // box, UnsoundProcessError when the program's memory may be damaged.
    void RunPlugin(std::int32_t ordinal);

    // The library loaded last (null when that load failed); never released.
    PluginLibraries::Handle lastLibrary() const { return lastLibrary_; }

private:
    std::vector<std::wstring> entries() const;

    const FileSearch& search_;
    PluginLibraries& libraries_;
    MessageBoxes& boxes_;
    std::wstring pluginFolder_;  // full path, ending with the separator
    std::vector<std::wstring> listed_;  // the entries' names, by ordinal
    PluginLibraries::Handle lastLibrary_ = nullptr;
};

}  // namespace orvane

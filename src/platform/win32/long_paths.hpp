#pragma once
// Paths longer than MAX_PATH. The program declares itself aware of long
// paths, so the file calls take them where the system's long-path setting is
// on; the older calls (settings files, pictures, sounds, libraries, the
// shell) take at most MAX_PATH characters whatever the setting. Those are
// given the same path spelt with the short names of its folders, where the
// volume keeps short names.
#include <optional>
#include <string>

namespace orvane::win32 {

// The path itself when it fits in MAX_PATH; else its folder by short names
// and the file by its own name (a file still to be made), or the whole path
// by short names; nothing when no spelling fits.
std::optional<std::wstring> pathForOlderCalls(const std::wstring& path);

// What the user reads when a path is too long for Windows to open.
std::wstring pathTooLongText(const std::wstring& path);

}  // namespace orvane::win32

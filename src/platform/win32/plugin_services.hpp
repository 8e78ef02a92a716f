#pragma once
// The real file search and plug-in libraries, over the operating system.
#include <map>
#include <string>
#include <vector>

#include "platform/file_search.hpp"
#include "platform/plugin_libraries.hpp"

namespace orvane::win32 {

class DiskFileSearch final : public FileSearch {
public:
    std::vector<std::wstring> find(const std::wstring& pattern) const override;
};

class PluginLibraryLoader final : public PluginLibraries {
public:
    Handle load(const std::wstring& fullPath) override;
    Entry find(Handle library, const char* name) override;
    PluginCallResult call(Entry entry) override;

private:
    // A runtime that aborted has already run its end (its terminate handler
    // is spent): its plug-in is not entered again, the same failure is told.
    std::map<Entry, PluginCallResult> aborted_;
};

// Calls the entry point so that nothing raised inside it can end the program:
// access violations and every other structured exception, C++ exceptions
// (caught here or raised as structured exceptions by other compilers), and
// a runtime that aborts. Works in the 32- and the 64-bit program.
PluginCallResult callGuarded(PluginLibraries::Entry entry);

// Keeps the current folder and PATH out of the program's own library search:
// only the system's folders and the program's folder remain. Run first thing.
void restrictLibrarySearch();

}  // namespace orvane::win32

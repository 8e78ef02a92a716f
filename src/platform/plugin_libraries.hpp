#pragma once
#include <cstdint>
#include <string>

namespace orvane {

// What became of one call into a plug-in's code.
struct PluginCallResult {
    enum class Outcome {
        returned,             // it came back normally
        structuredException,  // the processor or the system stopped it: see code
        cppException,         // a C++ exception left it and reached the program
        aborted,              // its runtime asked to end the process (abort, or a C++
                              // exception that nothing could catch)
    };
    Outcome outcome = Outcome::returned;
    std::uint32_t code = 0;  // the structured exception's code
    // For an access violation: what was tried at which address.
    enum class Access { none, read, write, execute };
    Access access = Access::none;
    std::uint64_t accessAddress = 0;
    std::wstring message;  // the C++ exception's own text, when it has one
};

// Loading plug-in libraries and calling into them. Handles and entry points
// are carried opaquely so that the rules need no system headers.
class PluginLibraries {
public:
    using Handle = void*;
    using Entry = void (*)();

    virtual ~PluginLibraries() = default;
    // Loads the library at this full path; a library it depends on is looked
    // for beside it. Null when it cannot be loaded. Never unloaded.
    virtual Handle load(const std::wstring& fullPath) = 0;
    // The exported procedure of that exact name, or null.
    virtual Entry find(Handle library, const char* name) = 0;
    // Calls the entry point and waits for it. Whatever goes wrong inside is
    // caught and described; the program goes on.
    virtual PluginCallResult call(Entry entry) = 0;
};

}  // namespace orvane

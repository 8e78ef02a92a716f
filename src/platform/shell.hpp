#pragma once
#include <string>

namespace orvane {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or starts a program the way a double click would.
    // False when the shell could not: no such file, or no program for its
    // kind. Callers that have nothing better to offer may ignore it.
    virtual bool open(const std::wstring& path) = 0;
    // Whether a program is registered for the file's kind. Where none is,
    // the shell may put up its own "open with" prompt and answer that it
    // opened the file.
    virtual bool hasProgramFor(const std::wstring& path) const = 0;
};

}  // namespace orvane

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
};

}  // namespace orvane

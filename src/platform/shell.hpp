#pragma once
#include <string>

namespace orvane {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or starts a program the way a double click would.
    // Whether that worked is not reported: the program never looks.
    virtual void open(const std::wstring& path) = 0;
};

}  // namespace orvane

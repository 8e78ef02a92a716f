#pragma once
#include <string>

namespace orvane {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True for an existing file; a folder of that name does not count.
    virtual bool fileExists(const std::wstring& path) const = 0;
};

}  // namespace orvane

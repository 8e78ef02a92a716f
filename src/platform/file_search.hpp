#pragma once
#include <string>
#include <vector>

namespace orvane {

// The system's search of a folder by name pattern.
class FileSearch {
public:
    virtual ~FileSearch() = default;
    // The names (without folder) of every entry whose name matches the pattern
    // (a folder path followed by a pattern such as "*.DLL"): files, hidden and
    // system ones, and folders alike, in the order the system gives them. No
    // entry when nothing matches or the folder does not exist.
    virtual std::vector<std::wstring> find(const std::wstring& pattern) const = 0;
};

}  // namespace orvane

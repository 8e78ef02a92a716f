#pragma once
#include <optional>
#include <string>

namespace orvane {

// The system's file-open chooser.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The file the user picked, or nothing when the user cancels. The filter is
    // the system's double-zero-terminated form (L"*.wav\0*.wav\0"); empty for none.
    virtual std::optional<std::wstring> open(void* owner, const std::wstring& current,
                                             const std::wstring& filter) = 0;
};

}  // namespace orvane

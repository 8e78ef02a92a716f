#pragma once
#include <optional>
#include <string>

namespace orvane {

// The system's file-open chooser. The owner is the system's window handle,
// carried opaquely so that fakes need no system headers.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // Shows the chooser over `owner`, starting from the file name `current`.
    // `filter` is the system's list of pairs, each part ending with a NUL
    // (L"*.wav\0*.wav\0"); empty shows every file. Gives the chosen file's
    // full name, or nothing when the user cancels.
    virtual std::optional<std::wstring> open(void* owner, const std::wstring& current,
                                             const std::wstring& filter) = 0;
};

}  // namespace orvane

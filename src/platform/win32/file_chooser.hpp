#pragma once
#include "platform/file_chooser.hpp"

namespace orvane::win32 {

// The common file-open dialog.
class OpenFileChooser final : public FileChooser {
public:
    std::optional<std::wstring> open(void* owner, const std::wstring& current, const std::wstring& filter) override;
};

}  // namespace orvane::win32

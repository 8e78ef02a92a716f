#pragma once
#include <optional>
#include <string>

namespace orvane {

// The system's file-open chooser. owner is the system's window handle, carried
// opaquely so that fakes need no system headers.
class FileChooser { public: virtual ~FileChooser() = default; virtual std::optional<std::wstring> open(void* owner, const std::wstring& current, const std::wstring& filter) = 0; };

}  // namespace orvane

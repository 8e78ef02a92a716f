#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvane::win32 {

// The whole file, or nothing when it cannot be read (missing, held by another
// program) or is larger than `limit` bytes.
std::optional<std::string> fileBytes(const std::wstring& file, std::int64_t limit = 64 * 1024 * 1024);

}  // namespace orvane::win32

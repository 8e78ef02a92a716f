#include "platform/win32/file_bytes.hpp"

#include <windows.h>

namespace orvane::win32 {

std::optional<std::string> fileBytes(const std::wstring& file, std::int64_t limit) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::optional<std::string> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(handle, &size) && size.QuadPart <= limit) {
        bytes.emplace(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!bytes->empty() && (!ReadFile(handle, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
                                read != bytes->size()))
            bytes.reset();
    }
    CloseHandle(handle);
    return bytes;
}

}  // namespace orvane::win32

#pragma once
#include <cstddef>
#include <string>

namespace orvane {

// The longest value a reading gives back; a longer one comes cut to this.
inline constexpr std::size_t profileValueLimit = 4095;

// An initialisation file: sections of "key=value" lines. Keys and sections are
// matched without regard to case and values come back without their
// surrounding blanks.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The value of the key, or fallback when the file, section or key is missing.
    virtual std::wstring read(const std::wstring& file, const std::wstring& section,
                              const std::wstring& key, const std::wstring& fallback) const = 0;
    // False when the file is there but cannot be read (another program holds it
    // without sharing, the user may not read it, it is a folder): its keys
    // then read as missing. A missing file is readable: it holds nothing.
    virtual bool readable(const std::wstring& file) const = 0;
    // Creates file, section or key as needed; false when the file cannot be
    // written. The value reads back letter for letter, whatever its script.
    virtual bool write(const std::wstring& file, const std::wstring& section,
                       const std::wstring& key, const std::wstring& value) = 0;
};

}  // namespace orvane

#pragma once
// An initialisation file given as its bytes, read the way the system's
// profile reader reads it (as measured under Wine): so that the settings
// reading can be driven natively by a fuzzer, and held against the system.
//
// - The text is the system's 8-bit code page (Windows-1252) unless it opens
//   with a byte-order mark of UTF-8, UTF-16LE or UTF-16BE, or is well-formed
//   UTF-8 with letters beyond ASCII (the program reads such a file as UTF-8).
// - Lines end at any CR or LF; blanks (tab to CR, ^Z, space) around a line,
//   a name or a value do not count; empty lines are skipped.
// - "[name]" up to the last "]" opens a section; anything before the first
//   one belongs to no section. A line opening with "[" without "]" is a key.
// - "key=value" splits at the first "="; a line without "=" is a key without
//   a value, which reads as missing but still hides a later key of its name.
// - Sections and keys match without regard to ASCII letter case; only the
//   first section of a name is looked in, and the first key of a name wins.
// - A name or a value ends at its first null character. Matching quotes
//   (' or ") around a value are dropped. A value is cut to profileValueLimit.
// - The fallback loses its trailing spaces.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/profile.hpp"

namespace orvane::testing {

class IniTextProfile final : public ProfileStore {
public:
    IniTextProfile(std::wstring file, std::string_view bytes) : file_(std::move(file)) { parse(decode(bytes)); }

    // The value as the system gives it, or nothing when it would give the fallback.
    std::optional<std::wstring> value(const std::wstring& section, const std::wstring& key) const {
        const std::wstring sectionName = trim(section), keyName = trim(key);
        for (const Section& s : sections_) {
            if (!s.named || !sameName(s.name, sectionName)) continue;
            for (const Key& k : s.keys) {
                if (!sameName(k.name, keyName)) continue;
                if (!k.value) return std::nullopt;
                return cut(unquote(*k.value));
            }
            return std::nullopt;  // a later section of the same name is never looked in
        }
        return std::nullopt;
    }

    std::wstring read(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                      const std::wstring& fallback) const override {
        if (file == file_)
            if (auto found = value(section, key)) return *found;
        std::wstring text = fallback;
        while (!text.empty() && text.back() == L' ') text.pop_back();
        return cut(std::move(text));
    }

    bool readable(const std::wstring&) const override { return true; }

    // The bytes are all there is: nothing can be written.
    bool write(const std::wstring&, const std::wstring&, const std::wstring&, const std::wstring&) override {
        return false;
    }

private:
    struct Key {
        std::wstring name;
        std::optional<std::wstring> value;
    };
    struct Section {
        bool named = false;
        std::wstring name;
        std::vector<Key> keys;
    };

    static bool isBlank(wchar_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == L' '; }
    static wchar_t asciiLower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c; }

    static std::wstring trim(std::wstring_view text) {
        while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
        while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
        return std::wstring(text);
    }
    static std::wstring untilNull(std::wstring text) {
        const std::size_t null = text.find(L'\0');
        if (null != std::wstring::npos) text.resize(null);
        return text;
    }
    static std::wstring cut(std::wstring text) {
        if (text.size() > profileValueLimit) text.resize(profileValueLimit);
        return text;
    }
    static std::wstring unquote(const std::wstring& text) {
        if (text.size() >= 2 && (text.front() == L'"' || text.front() == L'\'') && text.back() == text.front())
            return text.substr(1, text.size() - 2);
        return text;
    }
    static bool sameName(const std::wstring& a, const std::wstring& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i)
            if (asciiLower(a[i]) != asciiLower(b[i])) return false;
        return true;
    }

    // Code units as the system's wide strings hold them (UTF-16).
    static std::wstring decode(std::string_view bytes) {
        std::wstring text;
        auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        if (bytes.starts_with("\xEF\xBB\xBF")) return decodeUtf8(bytes.substr(3));
        const bool littleEndian = bytes.starts_with("\xFF\xFE"), bigEndian = bytes.starts_with("\xFE\xFF");
        if (littleEndian || bigEndian) {
            for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
                text += static_cast<wchar_t>(littleEndian ? byte(i) | byte(i + 1) << 8 : byte(i) << 8 | byte(i + 1));
            return text;
        }
        bool broken = false;
        const std::wstring utf8 = decodeUtf8(bytes, &broken);
        if (!broken && utf8.size() != bytes.size()) return utf8;
        // Windows-1252: its 0x80 to 0x9F row; the five holes keep their values.
        static constexpr char16_t row80[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        for (std::size_t i = 0; i < bytes.size(); ++i)
            text += static_cast<wchar_t>(byte(i) >= 0x80 && byte(i) < 0xA0 ? row80[byte(i) - 0x80] : byte(i));
        return text;
    }

    // Well-formed sequences become their code units; each byte of a broken
    // one becomes U+FFFD (and `broken` is set).
    static std::wstring decodeUtf8(std::string_view bytes, bool* broken = nullptr) {
        std::wstring text;
        std::size_t i = 0;
        while (i < bytes.size()) {
            const unsigned lead = static_cast<unsigned char>(bytes[i]);
            const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
            // The lead byte's own bits: 7, 5, 4 or 3 of them.
            std::uint32_t code = lead & (0xFFu >> (length == 1 ? 1 : length + 1));
            bool whole = length != 0 && i + length <= bytes.size();
            for (std::size_t k = 1; whole && k < length; ++k) {
                const unsigned next = static_cast<unsigned char>(bytes[i + k]);
                whole = (next & 0xC0) == 0x80;
                code = code << 6 | (next & 0x3F);
            }
            const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            whole = whole && code >= least[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
            if (!whole) {
                if (broken != nullptr) *broken = true;
                text += static_cast<wchar_t>(0xFFFD);
                ++i;
                continue;
            }
            if (code >= 0x10000) {
                text += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
                text += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
            } else {
                text += static_cast<wchar_t>(code);
            }
            i += length;
        }
        return text;
    }

    void parse(const std::wstring& text) {
        sections_.push_back({});  // what comes before any section header
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find_first_of(L"\r\n", start);
            if (end == std::wstring::npos) end = text.size();
            const std::wstring line = trim(std::wstring_view(text).substr(start, end - start));
            start = end + 1;
            if (line.empty()) continue;
            if (line.front() == L'[') {
                const std::size_t close = line.rfind(L']');
                if (close != std::wstring::npos) {
                    sections_.push_back({true, untilNull(trim(std::wstring_view(line).substr(1, close - 1))), {}});
                    continue;
                }
            }
            const std::size_t equals = line.find(L'=');
            if (equals == std::wstring::npos) {
                sections_.back().keys.push_back({untilNull(line), std::nullopt});
            } else {
                sections_.back().keys.push_back({untilNull(trim(std::wstring_view(line).substr(0, equals))),
                                                 untilNull(trim(std::wstring_view(line).substr(equals + 1)))});
            }
        }
    }

    std::wstring file_;
    std::vector<Section> sections_;
};

}  // namespace orvane::testing

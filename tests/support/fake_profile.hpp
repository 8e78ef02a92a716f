#pragma once
// An initialisation file in memory: case-blind sections and keys, values in
// the order they were first written, a key that can be made to fail, and a
// file that can be made unreadable. It keeps what was read and written, in
// order.
#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>
#include <vector>

#include "platform/profile.hpp"

namespace orvane::testing {

class FakeProfile final : public ProfileStore {
public:
    struct Entry {
        std::wstring file, section, key, value;
    };

    std::wstring read(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                      const std::wstring& fallback) const override {
        reads.push_back(key);
        const Entry* entry = unreadable ? nullptr : find(file, section, key);
        return entry != nullptr ? entry->value : fallback;
    }

    bool readable(const std::wstring&) const override { return !unreadable; }

    bool write(const std::wstring& file, const std::wstring& section, const std::wstring& key,
               const std::wstring& value) override {
        if (unreadable || (!failingKey.empty() && same(key, failingKey))) return false;
        writes.push_back({file, section, key, value});
        if (Entry* entry = find(file, section, key)) entry->value = value;
        else entries.push_back({file, section, key, value});
        return true;
    }

    void set(const std::wstring& file, const std::wstring& section, const std::wstring& key,
             const std::wstring& value) {
        entries.push_back({file, section, key, value});
    }

    std::vector<Entry> entries;
    std::vector<Entry> writes;  // every successful write, in order
    mutable std::vector<std::wstring> reads;  // every key asked for, in order
    std::wstring failingKey;    // writing this key fails
    bool unreadable = false;    // held by another program: reads give fallbacks, writes fail

private:
    static bool same(const std::wstring& a, const std::wstring& b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
                   return std::towlower(x) == std::towlower(y);
               });
    }
    const Entry* find(const std::wstring& file, const std::wstring& section, const std::wstring& key) const {
        for (const Entry& e : entries)
            if (e.file == file && same(e.section, section) && same(e.key, key)) return &e;
        return nullptr;
    }
    Entry* find(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
        return const_cast<Entry*>(std::as_const(*this).find(file, section, key));
    }
};

}  // namespace orvane::testing

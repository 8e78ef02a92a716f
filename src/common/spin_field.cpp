#include "common/spin_field.hpp"

#include <algorithm>
#include <cstdint>

namespace orvane {

int spinFieldValue(const std::wstring& text, int low, int high) {
    std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return low;
    const std::size_t last = text.find_last_not_of(L" \t");
    bool negative = false;
    if (text[first] == L'+' || text[first] == L'-') {
        negative = text[first] == L'-';
        ++first;
    }
    if (first > last) return low;
    // Digits beyond the range only tell which end the value lies at.
    std::int64_t magnitude = 0;
    for (std::size_t i = first; i <= last; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return low;
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - L'0'), std::int64_t{1} << 40);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<std::int64_t>(value, low, high));
}

int spinFieldStep(const std::wstring& text, int low, int high, int delta) {
    return std::clamp(spinFieldValue(text, low, high) + delta, low, high);
}

}  // namespace orvane

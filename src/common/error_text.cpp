#include "common/error_text.hpp"

namespace orvane {

std::wstring errorBoxText(const std::wstring& text) {
    if (!text.empty() && text.back() > L'.') return text + L'.';
    return text;
}

}  // namespace orvane

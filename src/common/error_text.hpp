#pragma once
#include <string>

namespace orvane {

inline constexpr wchar_t applicationTitle[] = L"Orvane";

// The text of the program's error box: a "." is added when the last character
// sorts after "." (a letter or a digit does; "!" or "." itself does not).
std::wstring errorBoxText(const std::wstring& text);

}  // namespace orvane

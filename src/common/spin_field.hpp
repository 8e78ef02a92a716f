#pragma once
#include <string>

namespace orvane {

// What a spin field holds once the user leaves it: the typed number brought
// back into [low, high]; a text that is no number counts as low.
int spinFieldValue(const std::wstring& text, int low, int high);

}  // namespace orvane

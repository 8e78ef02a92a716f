#pragma once
#include <string>

namespace orvane {

// What a spin field holds once the user leaves it: the typed number brought
// back into [low, high]; a text that is no number counts as low.
int spinFieldValue(const std::wstring& text, int low, int high);

// Where an arrow takes a spin field: one step (delta) from what it holds
// once settled as above, never past either end. The arrows' own idea of the
// position misses what was typed since.
int spinFieldStep(const std::wstring& text, int low, int high, int delta);

}  // namespace orvane

// The window tests' own start. What the program and its libraries write to
// the error stream shows at once, beside the test that caused it, instead of
// all together after the summary when the output is not a console.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "platform/ui/window.hpp"

namespace {

// The program asked a window for a control it never made: the test fails
// where it happened, and goes on.
void failAtMissingControl(HWND window, int id) {
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    ADD_FAILURE() << "the window " << (window ? ::testing::PrintToString(std::wstring(className)) : "(none)")
                  << " has no control " << id;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    orvane::ui::reportMissingControlsTo(failAtMissingControl);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The window tests' own start. What the program and its libraries write to
// the error stream shows at once, beside the test that caused it, instead of
// all together after the summary when the output is not a console.
#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// Writes the settings fuzzer's dictionary: the fixed words of a
// Configuration.ini as they are, then a "Key=" line for each setting the
// program reads, so that a new setting is fuzzed as soon as it is described.
#include <cstdio>
#include <fstream>

#include "settings/clock_settings.hpp"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: settings_dictionary <fixed words> <dictionary>\n");
        return 2;
    }
    std::ifstream words(argv[1], std::ios::binary);
    std::ofstream dictionary(argv[2], std::ios::binary);
    if (!words || !(dictionary << words.rdbuf())) {
        std::fprintf(stderr, "settings_dictionary: cannot copy %s to %s\n", argv[1], argv[2]);
        return 1;
    }
    for (const orvane::ClockSettingKey& row : orvane::clockSettingKeys) {
        dictionary << '"';
        for (const wchar_t* c = row.key; *c != L'\0'; ++c) {
            // Keys are plain ASCII: anything else would need escaping, and
            // its bytes would depend on the code page the file is in.
            if (*c < 0x20 || *c > 0x7E || *c == L'"' || *c == L'\\') {
                std::fprintf(stderr, "settings_dictionary: a key holds a character that needs escaping\n");
                return 1;
            }
            dictionary << static_cast<char>(*c);
        }
        dictionary << "=\"\n";
    }
    return dictionary.flush() ? 0 : 1;
}

// The reading that the settings fuzzer runs natively, held against the
// system's own profile reader over the same bytes on disk: where they part,
// the fuzzer would be exploring files that do not exist.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/services.hpp"
#include "support/app_fixture.hpp"
#include "support/ini_text_profile.hpp"

namespace orvane {
namespace {

using namespace std::string_literals;

struct ReadingCase {
    std::string bytes;
    const wchar_t* section;
    const wchar_t* key;
};

TEST(ProfileReading, TheNativeReadingGivesWhatTheSystemGives) {
    const std::string longValue(5000, 'v');
    const ReadingCase cases[] = {
        {"[options]\r\n  bip  =  0  \r\n", L"Options", L"Bip"},
        {"[Options]\r\nBip=0\r\nBip=1\r\n", L"Options", L"Bip"},
        {"[Options]\r\nA=1\r\n[Options]\r\nBip=0\r\n", L"Options", L"Bip"},
        {"[Options]\r\nBip\r\nBip=0\r\n", L"Options", L"Bip"},
        {"[Options]\r\nMusique=\"C:\\a b.wav\"\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=\"abc\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique='x'\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique='x\"\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=\"\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=\" a \"\r\n", L"Options", L"Musique"},
        {"[ Options ]\r\nBip=0\r\n", L"Options", L"Bip"},
        {"[Options\r\nBip=0\r\n", L"Options", L"Bip"},
        {"[Options]junk\r\nBip=0\r\n", L"Options", L"Bip"},
        {"[Opt]ions]\r\nBip=0\r\n", L"Opt]ions", L"Bip"},
        {"Bip=0\r\n[Options]\r\n", L"Options", L"Bip"},
        {"[Options]\r\n;Bip=0\r\n", L"Options", L"Bip"},
        {"[Options]\r\nMusique=a=b\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=ab\0cd\r\n"s, L"Options", L"Musique"},
        {"[Options]\r\nMusique=ab  \0cd\r\n"s, L"Options", L"Musique"},
        {"[Options]\r\nMusique=\"ab\"\0cd\"\r\n"s, L"Options", L"Musique"},
        {"[Options]\r\nBi\0p=0\r\nBip=1\r\n"s, L"Options", L"Bip"},
        {"[Opt\0x]\r\nBip=0\r\n"s, L"Opt", L"Bip"},
        {"[Options]\rBip=0\r", L"Options", L"Bip"},
        {"[Options]\r\n\tBip\t=\t0\x0b\x0c\x1a\r\n", L"Options", L"Bip"},
        {"[Options]\r\nMusique=ab\xa0\r\n", L"Options", L"Musique"},
        {"[Options]\r\n\xa0" "Bip=0\r\n", L"Options", L"Bip"},
        {"[Options]\r\nMusique=\x80\x81\x8d\x9f\xe9\xff\r\n", L"Options", L"Musique"},
        {"\xEF\xBB\xBF[Options]\r\nMusique=\xC3\xA9 \xF0\x9F\x94\x94\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=\xC3\xA9 \xF0\x9F\x94\x94\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=\xC3\xA9\xE9\r\n", L"Options", L"Musique"},
        {"\xEF\xBB\xBF[Options]\r\nMusique=a\xFF" "b\xC3\r\n", L"Options", L"Musique"},
        {"\xFF\xFE[\0O\0p\0t\0i\0o\0n\0s\0]\0\n\0B\0i\0p\0=\0\x30\0"s, L"Options", L"Bip"},
        {"\xFE\xFF\0[\0O\0p\0t\0i\0o\0n\0s\0]\0\n\0B\0i\0p\0=\0\x37"s, L"Options", L"Bip"},
        {"[Options]\r\nB ip=0\r\n", L"Options", L"B ip"},
        {"[Options]\r\nMusique=   \r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique=" + longValue + "\r\n", L"Options", L"Musique"},
        {"[Options]\r\nMusique='" + longValue + "'\r\n", L"Options", L"Musique"},
        {"[OPTIONS]\r\nPENDULE=x\r\n", L"options", L"pendule"},
        {"", L"Options", L"Bip"},
    };
    const testing::ScratchFolder scratch;
    int row = 0;
    for (const ReadingCase& c : cases) {
        // A file of its own for each case: the system keeps files it has read.
        const std::wstring file = scratch.path() + L"cas" + std::to_wstring(++row) + L".ini";
        const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(handle, c.bytes.data(), static_cast<DWORD>(c.bytes.size()), &written, nullptr);
        CloseHandle(handle);

        const testing::IniTextProfile native(file, c.bytes);
        win32::PrivateProfile system;
        for (const wchar_t* fallback : {L"", L"défaut  "}) {
            EXPECT_EQ(native.read(file, c.section, c.key, fallback), system.read(file, c.section, c.key, fallback))
                << "case " << row << (*fallback != L'\0' ? ", with a fallback" : "");
        }
        DeleteFileW(file.c_str());
    }
}

// A file a text editor saved in UTF-8, with its mark or without (Notepad's
// choice for a new file), reads as it was written: turned into UTF-16 with
// every line it had, or, where it may not be changed, left as it is.
TEST(ProfileReading, AFileSavedAsUtf8ReadsAsItWasWritten) {
    const std::string text = "; r\xC3\xA9glages\r\n[Options]\r\nMusique=C:\\Sons\\\xC3\xA9t\xC3\xA9.wav\r\n";
    const struct {
        std::string bytes;
        bool readOnly;
    } cases[] = {{"\xEF\xBB\xBF" + text, false}, {text, false}, {"\xEF\xBB\xBF" + text, true}, {text, true}};
    const testing::ScratchFolder scratch;
    int row = 0;
    for (const auto& c : cases) {
        const std::wstring file = scratch.path() + L"utf8-" + std::to_wstring(++row) + L".ini";
        std::ofstream(std::filesystem::path(file), std::ios::binary) << c.bytes;
        if (c.readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        EXPECT_EQ(win32::PrivateProfile().read(file, L"Options", L"Musique", L""), L"C:\\Sons\\été.wav") << row;
        std::ifstream in(std::filesystem::path(file), std::ios::binary);
        const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (c.readOnly) {
            EXPECT_EQ(after, c.bytes) << row << ": a read-only file changed";
        } else {
            EXPECT_EQ(after.substr(0, 2), "\xFF\xFE") << row;
            const std::wstring wide(reinterpret_cast<const wchar_t*>(after.data() + 2), (after.size() - 2) / 2);
            EXPECT_EQ(wide, L"; réglages\r\n[Options]\r\nMusique=C:\\Sons\\été.wav\r\n") << row;
        }
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(file.c_str());
    }
}

}  // namespace
}  // namespace orvane

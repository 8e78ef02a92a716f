// The settings file as PrivateProfile writes it: a value the system's 8-bit
// code page cannot hold survives, and everything else in the file with it.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/picture.hpp"
#include "platform/win32/long_paths.hpp"
#include "platform/win32/services.hpp"
#include "support/app_fixture.hpp"

namespace orvane {
namespace {

using namespace std::string_literals;

std::string fileBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<absent>";
}

// A section's lines as the system reads them, each ending with a null; a
// file deeper than MAX_PATH by the short names of its folders.
std::wstring section(const std::wstring& file, const wchar_t* name) {
    std::vector<wchar_t> text(65536);
    return std::wstring(text.data(), GetPrivateProfileSectionW(name, text.data(), 65536,
                                                               win32::pathForOlderCalls(file).value_or(file).c_str()));
}

// A folder in the folder whose files have paths longer than MAX_PATH.
std::wstring deepIn(const std::wstring& folder) {
    const std::wstring deep = folder + std::wstring(MAX_PATH - folder.size(), L'd') + L"\\";
    CreateDirectoryW(deep.c_str(), nullptr);
    return deep;
}

// A user's own file: a remark, an unknown key with letters of the 8-bit code
// page (and the bytes it leaves unassigned), another section, mixed line ends.
const std::string handWritten =
    "; r\xE9glages \xE0 la main\n[Options]\nBip=0\r\nMaCle=gard\xE9\x65 \x80\x81\x8D\x9F\xFF\n\n[Autre]\r\nx=1\r\n";
const std::wstring cyrillicSound = L"C:\\Звуки\\бой часов.wav";
const std::wstring inUtf16 = L"[Options]\r\nMaCle=gardée\r\n[Autre]\r\nx=1\r\n";

enum class After { asTheSystemWrites, utf16, refused };
enum class Obstacle { none, hidden, locked, readShared, readOnly, folderGone, deep };

TEST(ProfileWriting, AValueOutsideTheCodePageTurnsTheFileToUtf16KeepingTheRestOrIsRefused) {
    const struct {
        const char* name;
        std::optional<std::string> before;  // nothing: no file
        std::wstring value;
        After after;
        Obstacle obstacle = Obstacle::none;
    } cases[] = {
        {"a Cyrillic path into a hand-written file", handWritten, cyrillicSound, After::utf16},
        {"a letter the system would write as its look-alike", handWritten, L"C:\\Łódź\\dzwon.wav", After::utf16},
        {"a Greek and a Chinese folder", "[Options]\r\n", L"D:\\Ήχοι\\钟声.wav", After::utf16},
        {"no file yet", std::nullopt, cyrillicSound, After::utf16},
        {"an empty file", "", cyrillicSound, After::utf16},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[Options]\r\nMaCle=gard\xC3\xA9\x65\r\n", cyrillicSound, After::utf16},
        {"UTF-16 big-endian", "\xFE\xFF\0[\0O\0p\0t\0i\0o\0n\0s\0]\0\n\0x\0=\x01\x42"s, cyrillicSound, After::utf16},
        {"a hidden file, which stays hidden", handWritten, cyrillicSound, After::utf16, Obstacle::hidden},
        {"already UTF-16", "\xFF\xFE"s + std::string(reinterpret_cast<const char*>(inUtf16.data()), inUtf16.size() * 2),
         cyrillicSound, After::asTheSystemWrites},
        {"letters of the code page only", handWritten, L"C:\\Sons\\été €.wav", After::asTheSystemWrites},
        {"held by another program", handWritten, cyrillicSound, After::refused, Obstacle::locked},
        {"open elsewhere, shared for reading only", handWritten, cyrillicSound, After::refused, Obstacle::readShared},
        {"read-only", handWritten, cyrillicSound, After::refused, Obstacle::readOnly},
        {"its folder gone", std::nullopt, cyrillicSound, After::refused, Obstacle::folderGone},
        {"a hand-written file deeper than MAX_PATH", handWritten, cyrillicSound, After::utf16, Obstacle::deep},
    };
    const testing::ScratchFolder scratch;
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A folder of its own for each case: the system keeps files it has read.
        const std::wstring top = scratch.path() + L"cas" + std::to_wstring(++row) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(top.c_str(), nullptr));
        const std::wstring folder = c.obstacle == Obstacle::deep ? deepIn(top) : top;
        const std::wstring file = folder + L"Configuration.ini", twin = folder + L"systeme.ini";
        for (const std::wstring& name : {file, twin})
            if (c.before) std::ofstream(std::filesystem::path(name), std::ios::binary) << *c.before;
        HANDLE holder = INVALID_HANDLE_VALUE;
        if (c.obstacle == Obstacle::locked || c.obstacle == Obstacle::readShared)
            holder = CreateFileW(file.c_str(), GENERIC_READ, c.obstacle == Obstacle::locked ? 0 : FILE_SHARE_READ,
                                 nullptr, OPEN_EXISTING, 0, nullptr);
        if (c.obstacle == Obstacle::hidden) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
        if (c.obstacle == Obstacle::readOnly) SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.obstacle == Obstacle::folderGone) RemoveDirectoryW(folder.c_str());
        const std::wstring options = section(file, L"Options") + L"Musique=" + c.value + L'\0';
        const std::wstring other = section(file, L"Autre");

        const bool written = win32::PrivateProfile().write(file, L"Options", L"Musique", c.value);
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
        const DWORD attributes = GetFileAttributesW(file.c_str());
        EXPECT_EQ(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0,
                  c.obstacle == Obstacle::hidden);
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        const std::string bytes = fileBytes(file);
        if (c.after == After::refused) {
            EXPECT_FALSE(written);
            EXPECT_EQ(bytes, c.before.value_or("<absent>")) << "the user's file changed";
        } else {
            EXPECT_TRUE(written);
            EXPECT_EQ(section(file, L"Options"), options) << "the value, after all that was there, as it was";
            EXPECT_EQ(section(file, L"Autre"), other);
        }
        if (c.after == After::asTheSystemWrites) {
            WritePrivateProfileStringW(L"Options", L"Musique", c.value.c_str(), twin.c_str());
            EXPECT_EQ(bytes, fileBytes(twin)) << "the file keeps its encoding, byte for byte";
        }
        if (c.after == After::utf16) {
            EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE") << "no UTF-16 mark";
            const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
            if (c.before == handWritten) {
                EXPECT_NE(text.find(L"; réglages à la main"), std::wstring::npos) << "the user's remark is lost";
            }
        }
        for (const std::wstring& name : {file, twin}) DeleteFileW(name.c_str());
        EXPECT_EQ(RemoveDirectoryW(folder.c_str()), c.obstacle != Obstacle::folderGone) << "a file was left behind";
        RemoveDirectoryW(top.c_str());
    }
}

// Deeper than MAX_PATH, the settings and a face are read as they were
// written; a path no spelling fits is told whole. The program says it takes
// such paths.
TEST(LongPaths, FilesDeeperThanMaxPathAreReadAndAPathTooLongIsToldWhole) {
    const testing::ScratchFolder scratch;
    const std::wstring folder = deepIn(scratch.path());
    const std::wstring settings = folder + L"Configuration.ini", face = folder + L"cadran.bmp";
    ASSERT_TRUE(win32::PrivateProfile().write(settings, L"Options", L"Pendule", face));
    EXPECT_EQ(win32::PrivateProfile().read(settings, L"Options", L"Pendule", L""), face);
    ASSERT_TRUE(CopyFileW(ORVANE_SOURCE_DIR L"/res/HORLOGE.BMP", face.c_str(), FALSE));
    EXPECT_TRUE(ui::loadPicture(face)) << "the face is not read";
    for (const std::wstring& file : {settings, face}) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());

    const std::wstring gone = folder + L"son.wav";
    EXPECT_EQ(win32::pathForOlderCalls(gone), std::nullopt);
    EXPECT_NE(win32::pathTooLongText(gone).find(L"«\u00A0" + gone + L"\u00A0»"), std::wstring::npos);
    const HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(nullptr, manifest))),
                           SizeofResource(nullptr, manifest));
    EXPECT_NE(text.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true<"),
              std::string::npos);
}

}  // namespace
}  // namespace orvane

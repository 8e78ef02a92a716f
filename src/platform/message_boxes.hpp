#pragma once
#include <cstdint>
#include <string>

namespace orvane {

// Button and icon choices of a message box; the values are the system's own.
namespace box {
inline constexpr std::uint32_t ok = 0x0;
inline constexpr std::uint32_t yesNo = 0x4;
inline constexpr std::uint32_t iconError = 0x10;
inline constexpr std::uint32_t iconExclamation = 0x30;
inline constexpr std::uint32_t iconInformation = 0x40;
// For boxes a user must see even when the program sits in the tray.
inline constexpr std::uint32_t setForeground = 0x10000;
inline constexpr std::uint32_t topMost = 0x40000;
inline constexpr int answerOk = 1;
inline constexpr int answerYes = 6;
inline constexpr int answerNo = 7;
}  // namespace box

// Message boxes are modal to the whole program: every window of it waits
// until the box is closed, while timers go on firing.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual int show(const std::wstring& text, const std::wstring& title, std::uint32_t style) = 0;
    // The same box owned by a window of the program (the system's window
    // handle, nullptr for none): it comes to the front with that window
    // instead of waiting behind other programs.
    virtual int showOwnedBy(void* owner, const std::wstring& text, const std::wstring& title,
                            std::uint32_t style) {
        (void)owner;
        return show(text, title, style);
    }
};

}  // namespace orvane

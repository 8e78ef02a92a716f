#pragma once
#include <optional>
#include <string>

namespace orvane {

// The speaker and the media player.
class Sound {
public:
    virtual ~Sound() = default;
    // A tone, played while the caller goes on; tones asked for while one
    // plays follow it. A frequency the speaker refuses gives silence.
    virtual void beep(int frequency, int durationMs) = 0;
    // Opens the file (the file opened before is closed first), starts playing it
    // and returns at once. The system's error text when it cannot be played.
    virtual std::optional<std::wstring> play(const std::wstring& path) = 0;
};

}  // namespace orvane

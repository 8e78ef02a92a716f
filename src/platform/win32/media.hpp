#pragma once
// The speaker, the media player, random numbers and the colour chooser.
#include <cstdint>
#include <random>

#include "platform/choosers.hpp"
#include "platform/random.hpp"
#include "platform/sound.hpp"
#include "platform/tone_player.hpp"

namespace orvane::win32 {

class SpeakerAndMediaPlayer final : public Sound {
public:
    SpeakerAndMediaPlayer();
    ~SpeakerAndMediaPlayer() override;
    void beep(int frequency, int durationMs) override;
    std::optional<std::wstring> play(const std::wstring& path) override;

private:
    bool open_ = false;
    TonePlayer speaker_;
};

class SeededRandom final : public Random {
public:
    void reseed() override;
    int below(int n) override;

private:
    std::mt19937 generator_;
};

class SystemColorChooser final : public ColorChooser {
public:
    std::optional<std::uint32_t> choose(void* owner, std::uint32_t current) override;

private:
    std::uint32_t customColours_[16] = {};
};

}  // namespace orvane::win32

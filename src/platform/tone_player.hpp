#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace orvane {

// Plays tones one after another on a thread of its own. The speaker's call
// returns only when its tone has ended (up to seconds on Windows), and the
// window's thread must go on meanwhile: the clock ticking, the window
// answering, an alarm coming on time.
class TonePlayer {
public:
    using Tone = std::function<void(int frequency, int durationMs)>;
    explicit TonePlayer(Tone tone) : tone_(std::move(tone)) {}
    TonePlayer(const TonePlayer&) = delete;
    TonePlayer& operator=(const TonePlayer&) = delete;
    // Waits for the tone being played; the ones still waiting are dropped.
    ~TonePlayer();

    // Returns at once; the tone follows those asked for before it.
    void play(int frequency, int durationMs);

private:
    void run();

    Tone tone_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<int, int>> waiting_;
    bool ending_ = false;
    std::thread thread_;  // started with the first tone
};

}  // namespace orvane

#include "platform/tone_player.hpp"

namespace orvane {

TonePlayer::~TonePlayer() {
    {
        const std::lock_guard lock(mutex_);
        ending_ = true;
        waiting_.clear();
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void TonePlayer::play(int frequency, int durationMs) {
    {
        const std::lock_guard lock(mutex_);
        waiting_.emplace_back(frequency, durationMs);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

void TonePlayer::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (ending_) return;
        const auto [frequency, durationMs] = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        tone_(frequency, durationMs);
        lock.lock();
    }
}

}  // namespace orvane

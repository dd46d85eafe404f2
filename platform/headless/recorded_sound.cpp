#include "platform/headless/recorded_sound.h"

#include <algorithm>
#include <cstring>

namespace orvex {

RecordedSound::RecordedSound(std::vector<std::int16_t> samples, const Clock& clock, Scheduler& timers)
    : samples_(std::move(samples)), clock_(clock), timers_(timers) {}

RecordedSound::~RecordedSound() {
    close();
}

int RecordedSound::open(unsigned count, SoundBuffer buffer) {
    if (open_ || count == 0) return -1;
    open_ = true;
    count_ = count;
    buffer_ = std::move(buffer);
    openedAt_ = clock_.tick();
    delivered_ = 0;
    return 0;
}

int RecordedSound::start() {
    if (!open_ || pending_) return -1;
    armNext();
    return 0;
}

int RecordedSound::close() {
    if (!open_) return -1;
    if (pending_) timers_.cancel(*pending_);
    pending_.reset();
    open_ = false;
    return 0;
}

// Buffer n is full once n buffers of sound have passed since the input opened, rounded up to the next
// millisecond: counted from the opening, the 62.5 ms steps never drift.
void RecordedSound::armNext() {
    const std::uint64_t dueMs = ((delivered_ + 1) * count_ * 1000 + kSoundSampleRate - 1) / kSoundSampleRate;
    const std::uint64_t sinceOpen = ticksBetween(openedAt_, clock_.tick());
    pending_ = timers_.schedule(static_cast<unsigned>(dueMs > sinceOpen ? dueMs - sinceOpen : 0),
                                [this] { deliver(); });
}

void RecordedSound::deliver() {
    pending_.reset();
    std::vector<std::int16_t> buffer(count_, 0);
    const std::uint64_t first = delivered_ * count_;
    if (first < samples_.size()) {
        const std::size_t n = std::min<std::size_t>(count_, samples_.size() - first);
        std::memcpy(buffer.data(), samples_.data() + first, n * sizeof(std::int16_t));
    }
    ++delivered_;
    armNext();
    buffer_(buffer.data(), buffer.size());
}

} // namespace orvex

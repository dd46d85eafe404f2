#include "platform/headless/recorded_sound.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace orvex {
namespace {

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

std::optional<std::vector<std::int16_t>> wavSamples(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    bool formatSeen = false;
    // Chunks follow one another, each padded to an even size; anything but the format and the data is
    // skipped (lists, facts, cue points).
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint64_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) return std::nullopt;
        if (id == "fmt ") {
            if (size < 16) return std::nullopt;
            const bool pcm = littleEndian(bytes, body, 2) == 1;
            const bool mono = littleEndian(bytes, body + 2, 2) == 1;
            const bool rate = littleEndian(bytes, body + 4, 4) == kSoundSampleRate;
            const bool bits = littleEndian(bytes, body + 14, 2) == 16;
            if (!(pcm && mono && rate && bits)) return std::nullopt;
            formatSeen = true;
        } else if (id == "data") {
            if (!formatSeen) return std::nullopt;
            std::vector<std::int16_t> samples(size / 2);
            for (std::size_t i = 0; i < samples.size(); ++i)
                samples[i] = static_cast<std::int16_t>(littleEndian(bytes, body + 2 * i, 2));
            return samples;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<std::string> fileContent(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return bytes;
}

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

#include "platform/headless/wav_file.h"

#include "platform/sound_input.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvex {
namespace {

constexpr std::size_t kHeaderSize = 12; // "RIFF", the size of what follows, "WAVE"

std::uint32_t littleEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

bool playableFormat(const std::string& bytes, std::size_t body) {
    return littleEndian(bytes, body, 2) == 1 && littleEndian(bytes, body + 2, 2) == 1 &&
           littleEndian(bytes, body + 4, 4) == kSoundSampleRate && littleEndian(bytes, body + 14, 2) == 16;
}

// Appends up to `limit` bytes of the file, stopping at its end; false on a read error.
bool readUpTo(int fd, std::size_t limit, std::string& bytes) {
    char block[65536];
    while (bytes.size() < limit) {
        const ssize_t n = read(fd, block, std::min(sizeof block, limit - bytes.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        bytes.append(block, static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::optional<WavSound> wavSamples(const std::string& bytes) {
    if (bytes.size() < kHeaderSize || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    bool formatSeen = false;
    // Chunks follow one another; anything but the format and the data is skipped (lists, facts, cue points).
    for (std::size_t at = kHeaderSize; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::uint64_t size = littleEndian(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        const std::size_t left = bytes.size() - body;
        if (id == "data") {
            // The format says how to read the samples: a file that gives it only afterwards is not one of
            // ours.
            if (!formatSeen) return std::nullopt;
            WavSound sound;
            sound.cutShort = size > left;
            sound.samples.resize(std::min<std::uint64_t>(size, left) / 2);
            for (std::size_t i = 0; i < sound.samples.size(); ++i)
                sound.samples[i] = static_cast<std::int16_t>(littleEndian(bytes, body + 2 * i, 2));
            return sound;
        }
        if (size > left) return std::nullopt;
        if (id == "fmt ") {
            if (size < 16 || !playableFormat(bytes, body)) return std::nullopt;
            formatSeen = true;
        }
        at = body + size;
        // An odd-sized chunk is followed by a zero byte, except from writers that forget it: a chunk's name
        // never begins with a zero.
        if (size % 2 == 1 && at < bytes.size() && bytes[at] == '\0') ++at;
    }
    return std::nullopt;
}

SoundFile readSoundFile(const std::string& path) {
    SoundFile file;
    // Not blocking: a FIFO that nobody writes would hold the open for ever.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        file.problem = SoundFileProblem::kUnreadable;
        return file;
    }
    struct stat facts {};
    std::string bytes;
    if (fstat(fd, &facts) != 0) {
        file.problem = SoundFileProblem::kUnreadable;
    } else if (!S_ISREG(facts.st_mode)) {
        file.problem = SoundFileProblem::kNotAFile;
    } else if (!readUpTo(fd, kHeaderSize, bytes) ||
               (bytes.size() == kHeaderSize && bytes.compare(0, 4, "RIFF") == 0 &&
                !readUpTo(fd, std::size_t{8} + littleEndian(bytes, 4, 4), bytes))) {
        file.problem = SoundFileProblem::kUnreadable;
    }
    close(fd);
    if (file.problem != SoundFileProblem::kNone) return file;
    if (auto sound = wavSamples(bytes))
        file.sound = std::move(*sound);
    else
        file.problem = SoundFileProblem::kNotPlayable;
    return file;
}

} // namespace orvex

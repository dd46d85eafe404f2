#pragma once
// The bytes of WAV files as recorders write them: 16-bit PCM, little-endian.
#include <cstdint>
#include <string>
#include <vector>

namespace orvex::test {

using Samples = std::vector<std::int16_t>;

inline std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

inline std::string pcm(const Samples& samples) {
    std::string data;
    for (const std::int16_t s : samples) data += littleEndian(static_cast<std::uint16_t>(s), 2);
    return data;
}

// A whole file: a format chunk of 16-bit samples, then its data chunk.
inline std::string wavFile(const Samples& samples, int channels = 1, int rate = 8000) {
    const std::string data = pcm(samples);
    const std::string format = littleEndian(1, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
                               littleEndian(rate * 2 * channels, 4) + littleEndian(2 * channels, 2) +
                               littleEndian(16, 2);
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(20 + format.size() + data.size()), 4) +
           "WAVEfmt " + littleEndian(16, 4) + format + "data" + littleEndian(data.size(), 4) + data;
}

} // namespace orvex::test

#pragma once
// WAV files of 16-bit mono samples at 8000 Hz, as a user hands them to orvex-cli to stand for the sound
// input. Their bytes come from anywhere: nothing in them is trusted.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct WavSound {
    std::vector<std::int16_t> samples;
    // The data ends before the size its chunk declares, as an interrupted recording leaves it.
    bool cutShort = false;
};

// The samples of a WAV file's content; none for any other content.
std::optional<WavSound> wavSamples(const std::string& bytes);

enum class SoundFileProblem {
    kNone,
    kUnreadable,  // it cannot be opened or read
    kNotAFile,    // a folder, a device, a FIFO: nothing that ends for sure
    kNotPlayable, // not a WAV file of the one format the input hands over
};

struct SoundFile {
    SoundFileProblem problem = SoundFileProblem::kNone;
    WavSound sound;
};

// Reads a regular file only, and of it no more than its header declares.
SoundFile readSoundFile(const std::string& path);

} // namespace orvex

// The WAV reader on any bytes, as a file a user hands to --sound: it never reads past what it was given,
// every sample it returns comes from those bytes, and the file is read as the bytes up to its RIFF size.
#include "fuzz/fuzz_files.h"
#include "platform/headless/wav_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace orvex;

// Says which property broke before stopping, so that a finding explains itself.
#define CHECK(condition)                                                                                     \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "WAV reader broken: %s\n", #condition);                                     \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

std::uint64_t riffLength(const std::string& bytes) {
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0) return bytes.size();
    std::uint64_t size = 0;
    for (int i = 3; i >= 0; --i) size = size << 8 | static_cast<unsigned char>(bytes[4 + i]);
    return size + 8;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto sound = wavSamples(bytes);
    // The header, the format chunk and the data chunk's own header come before the first sample.
    if (sound) CHECK(sound->samples.size() * 2 + 44 <= bytes.size());

    const std::string path = fuzz::scratchFile("sound.wav", data, size);
    const SoundFile file = readSoundFile(path);
    std::remove(path.c_str());
    const auto declared =
        wavSamples(bytes.substr(0, std::min<std::uint64_t>(bytes.size(), riffLength(bytes))));
    CHECK(file.problem == (declared ? SoundFileProblem::kNone : SoundFileProblem::kNotPlayable));
    if (declared) {
        CHECK(file.sound.samples == declared->samples);
        CHECK(file.sound.cutShort == declared->cutShort);
    }
    return 0;
}

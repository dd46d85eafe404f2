// The WAV reader on files that users and recorders leave: what it plays of each, and what it refuses.
#include "platform/headless/wav_file.h"
#include "tests/support/test_program.h"
#include "tests/support/wav_bytes.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvex::test {
namespace {

// A chunk whose header declares `declared` bytes, or as many as it holds.
std::string chunk(const std::string& id, const std::string& body,
                  std::optional<std::uint32_t> declared = {}) {
    return id + littleEndian(declared.value_or(static_cast<std::uint32_t>(body.size())), 4) + body;
}

// The format chunk of one channel at 8000 Hz, 16 bits.
const std::string kFormat = wavFile({}).substr(12, 24);

std::string riff(const std::string& chunks) {
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

// What a file gives: its samples and whether it was cut short; nothing when it cannot be played.
TEST(WavFile, WhatEachFileGives) {
    using Gives = std::optional<std::pair<Samples, bool>>;
    const std::string list = chunk("LIST", "abc"), stereo = kFormat.substr(8, 2) + littleEndian(2, 2);
    const struct {
        const char* what;
        std::string bytes;
        Gives gives;
    } cases[] = {
        {"format then data", riff(kFormat + chunk("data", pcm({1, -2, 300}))), Gives{{{1, -2, 300}, false}}},
        {"odd chunk, padded", riff(kFormat + list + '\0' + chunk("data", pcm({7}))), Gives{{{7}, false}}},
        {"odd chunk, unpadded", riff(kFormat + list + chunk("data", pcm({7}))), Gives{{{7}, false}}},
        {"data cut short", riff(kFormat + chunk("data", pcm({5, 6, 7}), 600)), Gives{{{5, 6, 7}, true}}},
        {"data cut in a sample", riff(kFormat + chunk("data", pcm({5, 6}) + "x", 600)),
         Gives{{{5, 6}, true}}},
        {"a huge declared size", riff(kFormat + chunk("data", pcm({9}), 0xFFFFFFFF)), Gives{{{9}, true}}},
        {"huge chunk first", riff(kFormat + chunk("LIST", "ab", 0xFFFFFFFF) + chunk("data", pcm({9}))), {}},
        {"data before the format chunk", riff(chunk("data", pcm({1})) + kFormat), {}},
        {"stereo", riff(chunk("fmt ", stereo + kFormat.substr(12)) + chunk("data", pcm({1, 1}))), {}},
        {"a format chunk too short",
         riff(kFormat.substr(0, 4) + littleEndian(14, 4) + kFormat.substr(8, 14) + chunk("data", pcm({1}))),
         {}},
        {"no data chunk", riff(kFormat), {}},
        {"an empty file", "", {}},
        {"not a RIFF file", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n", {}},
    };
    for (const auto& c : cases) {
        const auto sound = wavSamples(c.bytes);
        EXPECT_EQ(sound ? Gives(std::pair(sound->samples, sound->cutShort)) : std::nullopt, c.gives)
            << c.what;
    }
}

// Only as far as its header says: the bytes after a RIFF size that ends early are not the sound's. What
// else a file on disk gives, or why it is refused, is the sound tests' of orvex-cli.
TEST(WavFile, AFileIsReadOnlyAsFarAsItsHeaderDeclares) {
    const SoundFile file = readSoundFile(
        TempDir().write("tail.wav", riff(kFormat + chunk("data", pcm({1, 2}), 0xFFFFFFFF)) + pcm({3, 4})));
    EXPECT_EQ(std::pair(file.problem, file.sound.samples), std::pair(SoundFileProblem::kNone, Samples{1, 2}));
}

} // namespace
} // namespace orvex::test

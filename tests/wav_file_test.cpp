// The WAV reader on files that users and recorders leave: what it plays of each, and what it refuses.
#include "platform/headless/wav_file.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace orvex::test {
namespace {

using Samples = std::vector<std::int16_t>;

std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string chunk(const std::string& id, const std::string& body, std::uint32_t declared) {
    return id + littleEndian(declared, 4) + body;
}
std::string chunk(const std::string& id, const std::string& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

const std::string kFormat =
    chunk("fmt ", littleEndian(1, 2) + littleEndian(1, 2) + littleEndian(8000, 4) + littleEndian(16000, 4) +
                      littleEndian(2, 2) + littleEndian(16, 2));

std::string pcm(const Samples& samples) {
    std::string data;
    for (const std::int16_t s : samples) data += littleEndian(static_cast<std::uint16_t>(s), 2);
    return data;
}

std::string riff(const std::string& chunks) {
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks;
}

TEST(WavFile, WhatEachFileGives) {
    const struct {
        const char* what;
        std::string bytes;
        bool playable;
        Samples samples;
        bool cutShort;
    } cases[] = {
        {"format then data", riff(kFormat + chunk("data", pcm({1, -2, 300}))), true, {1, -2, 300}, false},
        {"an odd-sized chunk before the data, padded",
         riff(kFormat + chunk("LIST", "abc") + std::string(1, '\0') + chunk("data", pcm({7}))),
         true,
         {7},
         false},
        {"an odd-sized chunk before the data, not padded",
         riff(kFormat + chunk("LIST", "abc") + chunk("data", pcm({7}))),
         true,
         {7},
         false},
        {"a data chunk cut short", riff(kFormat + chunk("data", pcm({5, 6, 7}), 600)), true, {5, 6, 7}, true},
        {"a data chunk cut in a sample",
         riff(kFormat + chunk("data", pcm({5, 6}) + "x", 600)),
         true,
         {5, 6},
         true},
        {"a huge declared size", riff(kFormat + chunk("data", pcm({9}), 0xFFFFFFFF)), true, {9}, true},
        {"a huge chunk before the data",
         riff(kFormat + chunk("LIST", "ab", 0xFFFFFFFF) + chunk("data", pcm({9}))),
         false,
         {},
         false},
        {"data before the format chunk", riff(chunk("data", pcm({1})) + kFormat), false, {}, false},
        {"stereo",
         riff(chunk("fmt ", kFormat.substr(8, 2) + littleEndian(2, 2) + kFormat.substr(12)) +
              chunk("data", pcm({1, 1}))),
         false,
         {},
         false},
        {"a format chunk too short",
         riff(kFormat.substr(0, 4) + littleEndian(14, 4) + kFormat.substr(8, 14) + chunk("data", pcm({1}))),
         false,
         {},
         false},
        {"no data chunk", riff(kFormat), false, {}, false},
        {"an empty file", "", false, {}, false},
        {"not a RIFF file", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n", false, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto sound = wavSamples(c.bytes);
        ASSERT_EQ(sound.has_value(), c.playable);
        if (!sound) continue;
        EXPECT_EQ(sound->samples, c.samples);
        EXPECT_EQ(sound->cutShort, c.cutShort);
    }
}

// Only a regular file is read, and only as far as its header says: the bytes after a RIFF size that ends
// early are not the sound's.
TEST(WavFile, OnlyARegularFileIsReadAndOnlyWhatItsHeaderDeclares) {
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo.wav").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string whole = riff(kFormat + chunk("data", pcm({1, 2})));
    const struct {
        std::string path;
        SoundFileProblem problem;
        Samples samples;
    } cases[] = {
        {dir.write("good.wav", whole), SoundFileProblem::kNone, {1, 2}},
        {dir.write("tail.wav", riff(kFormat + chunk("data", pcm({1, 2}), 0xFFFFFFFF)) + pcm({3, 4})),
         SoundFileProblem::kNone,
         {1, 2}},
        {dir.write("cut.wav", whole.substr(0, whole.size() - 2)), SoundFileProblem::kNone, {1}},
        {(dir.path() / "none.wav").string(), SoundFileProblem::kUnreadable, {}},
        {dir.path().string(), SoundFileProblem::kNotAFile, {}},
        {fifo, SoundFileProblem::kNotAFile, {}},
        {"/dev/zero", SoundFileProblem::kNotAFile, {}},
        {dir.write("empty.wav", ""), SoundFileProblem::kNotPlayable, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const SoundFile file = readSoundFile(c.path);
        EXPECT_EQ(file.problem, c.problem);
        EXPECT_EQ(file.sound.samples, c.samples);
    }
}

} // namespace
} // namespace orvex::test

// Sound lines from the command line: a recording rehearses them, a run listens to the computer's input
// through PortAudio, here ALSA's file plugin reading samples on a machine without a sound card.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace orvex::test {
namespace {

std::string littleEndian(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string wavFile(const std::vector<std::int16_t>& samples, int channels = 1, int rate = 8000) {
    std::string data;
    for (const std::int16_t s : samples) data += littleEndian(static_cast<std::uint16_t>(s), 2);
    const std::string format = littleEndian(1, 2) + littleEndian(channels, 2) + littleEndian(rate, 4) +
                               littleEndian(rate * 2 * channels, 4) + littleEndian(2 * channels, 2) +
                               littleEndian(16, 2);
    return "RIFF" + littleEndian(static_cast<std::uint32_t>(20 + format.size() + data.size()), 4) +
           "WAVEfmt " + littleEndian(16, 4) + format + "data" + littleEndian(data.size(), 4) + data;
}

TEST(CliSimulate, ASoundItCannotPlayIsRefusedByName) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound")}));
    const std::string fifo = (dir.path() / "fifo.wav").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, std::string> cases[] = {
        {"", "The script waits for a sound: rehearse it with --sound=FILE.wav"},
        {"--sound=" + (dir.path() / "none.wav").string(), "Cannot read the sound file "},
        {"--sound=" + script, " is not a sound Orvex can play"},
        {"--sound=" + dir.write("stereo.wav", wavFile({0, 0}, 2)), " is not a sound Orvex can play"},
        {"--sound=" + dir.write("cd.wav", wavFile({0, 0}, 1, 44100)), " is not a sound Orvex can play"},
        {"--sound=", "--sound needs a WAV file"},
        {"--sound=" + dir.path().string(), dir.path().string() + " is not a file: --sound needs a WAV file"},
        {"--sound=/dev/zero", "/dev/zero is not a file"},
        {"--sound=" + fifo, fifo + " is not a file"},
    };
    for (const auto& [sound, message] : cases) {
        const CliResult r = runCli("simulate --lang en --camera=bulb " + sound + " " + script + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << sound;
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("\tshot\t"), std::string::npos) << r.out;
    }
}

// A recording fires its Sound line under the threshold of the Orvex.ini of the folder orvex-cli starts
// from; one cut short, as an interrupted recording leaves it, plays up to where it ends, with a warning.
TEST(CliSimulate, ARecordingFiresUnderTheThresholdOfItsSettings) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound")}));
    std::vector<std::int16_t> samples(1000, 0);
    samples[900] = 5000; // 15 % of full scale
    const std::string whole = wavFile(samples);
    const struct {
        const char* what;
        std::string wav;
        bool atTenPercent, fires, warned;
    } cases[] = {{"at the default 50 %", whole, false, false, false},
                 {"at 10 %", whole, true, true, false},
                 {"cut short after the peak", whole.substr(0, whole.size() - 100), true, true, true},
                 {"cut short before the peak", whole.substr(0, 44 + 1000), true, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir from;
        if (c.atTenPercent) from.write("Orvex.ini", "[Corvane]\nThreshold=10\n");
        const std::string wav = dir.write("sound.wav", c.wav);
        const CliResult r = runCli("simulate --lang en --until=10s --sound=" + wav + " " + script + " 2>&1",
                                   "cd " + from.path().string() + " && LC_ALL=C");
        EXPECT_EQ(r.out.find("\tsound\t100\n") != std::string::npos, c.fires) << r.out;
        EXPECT_EQ(r.out.find(wav + " is cut short: it plays up to where its sound ends") != std::string::npos,
                  c.warned)
            << r.out;
    }
}

// ALSA's default capture device reads the file: one that is not there leaves no input to open.
std::string alsaConfiguration(const TempDir& dir, const std::string& samplesFile) {
    return dir.write("alsa.conf", "pcm.null { type null }\npcm.!default { type file slave.pcm \"null\" file "
                                  "\"/dev/null\" infile \"" +
                                      samplesFile + "\" format \"raw\" }\n");
}

TEST(CliRun, ASoundLineListensToTheComputersInput) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().when("Sound").speed("1/100")}));
    std::vector<std::int16_t> samples(4000, -2000);
    samples[2600] = 30000;
    std::string raw = wavFile(samples);
    const std::string loud = dir.write("loud.raw", raw.substr(44));
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {loud, {"\tstatus\t178\tSound ?\n", "\tsound\t100\n", "\tend\t35\tCompleted\n"}},
        {loud + ".gone", {"\tmessage\tError (L6087)\tError fffffff5\n", "\tend\t55\tError\n"}}};
    for (const auto& [input, expected] : cases) {
        const CliResult r = runCli("run --until=20s --camera=bulb " + script + " 2>/dev/null",
                                   "LC_ALL=C ALSA_CONFIG_PATH=" + alsaConfiguration(dir, input));
        std::size_t from = 0;
        for (const std::string& event : expected) {
            from = r.out.find(event, from);
            EXPECT_NE(from, std::string::npos) << event << " in\n" << r.out;
        }
    }
}

} // namespace
} // namespace orvex::test

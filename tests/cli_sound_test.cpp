// Sound lines from the command line: a recording rehearses them, a run listens to the computer's input
// through PortAudio, here ALSA's file plugin reading samples on a machine without a sound card.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
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
    struct Case {
        std::string sound;
        std::string message;
    };
    const Case cases[] = {
        {"", "The script waits for a sound: rehearse it with --sound=FILE.wav"},
        {"--sound=" + (dir.path() / "none.wav").string(), "Cannot read the sound file "},
        {"--sound=" + script, " is not a sound Orvex can play"},
        {"--sound=" + dir.write("stereo.wav", wavFile({0, 0}, 2)), " is not a sound Orvex can play"},
        {"--sound=" + dir.write("cd.wav", wavFile({0, 0}, 1, 44100)), " is not a sound Orvex can play"},
    };
    for (const Case& c : cases) {
        const CliResult r = runCli("simulate --lang en --camera=bulb " + c.sound + " " + script + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << c.sound;
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("\tshot\t"), std::string::npos) << r.out;
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
    struct Case {
        std::string input;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {loud, {"\tstatus\t178\tSound ?\n", "\tsound\t100\n", "\tend\t35\tCompleted\n"}},
        {loud + ".gone", {"\tmessage\tError (L6087)\tError fffffff5\n", "\tend\t55\tError\n"}},
    };
    for (const Case& c : cases) {
        const CliResult r = runCli("run --until=20s --camera=bulb " + script + " 2>/dev/null",
                                   "LC_ALL=C ALSA_CONFIG_PATH=" + alsaConfiguration(dir, c.input));
        std::size_t from = 0;
        for (const std::string& event : c.expected) {
            from = r.out.find(event, from);
            EXPECT_NE(from, std::string::npos) << event << " in\n" << r.out;
        }
    }
}

} // namespace
} // namespace orvex::test

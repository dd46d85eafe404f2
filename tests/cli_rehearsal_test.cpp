// Every example script rehearsed with orvex-cli simulate on the virtual bodies, as the demo does.
#include "sdk/virtual/virtual_profile.h"
#include "tests/support/cli_process.h"
#include "tests/support/test_program.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// The examples copied into a folder of their own: the virtual body files its pictures beside the script.
std::vector<fs::path> copyExamples(const TempDir& dir) {
    std::vector<fs::path> scripts;
    for (const auto& entry : fs::directory_iterator(ORVEX_EXAMPLES_DIR))
        if (entry.path().extension() == ".txt") {
            scripts.push_back(dir.path() / entry.path().filename());
            fs::copy_file(entry.path(), scripts.back());
        }
    std::sort(scripts.begin(), scripts.end());
    return scripts;
}

// A hang shows as the guard's exit code, a crash as a signal: neither is 0 or 1.
CliResult rehearse(const std::string& arguments) {
    return runCli("simulate --clock=2026-12-06T21:14:00 " + arguments + " 2>&1", "LC_ALL=C timeout 120");
}

// Every example ends cleanly on every preset; on the preset that suits it, and with what it needs (bursts
// need the cable and continuous drive; the times of day come round again the next day), it completes. The
// shipped profile downloads a RAW and a JPEG 1.5 s after each exposure: each time of day of its example must
// still come after the pictures before it, or it would be taken the next day.
TEST(CliRehearsal, EveryExampleCompletesOnAPresetThatSuitsItAndEndsCleanlyOnEveryOther) {
    const std::pair<const char*, const char*> suits[] = {
        {"bracketing.txt", "--camera=press-shutter"},
        {"midnight.txt", "--camera=bulb"},
        {"timelapse.txt", "--camera=bulb"},
        {"times_of_day.txt", "--camera=" ORVEX_EXAMPLES_DIR
                             "/virtual-camera.ini --serialport=VirtualCable --loop=2 --until=25h"}};
    TempDir dir;
    const std::vector<fs::path> scripts = copyExamples(dir);
    ASSERT_EQ(scripts.size(), std::size(suits)) << "an example without its rehearsal";
    std::string timesOfDay;
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        const auto& [name, options] = suits[i];
        ASSERT_EQ(scripts[i].filename(), name);
        const CliResult r = rehearse(std::string(options) + " " + scripts[i].string());
        EXPECT_TRUE(r.exitCode == 0 && r.out.ends_with("\tend\t35\tCompleted\n")) << name << "\n" << r.out;
        if (std::string(name) == "times_of_day.txt") timesOfDay = r.out;
        for (const std::string& preset : virtualPresetNames()) {
            const CliResult any = rehearse("--until=2m --serialport=VirtualCable --camera=" + preset + " " +
                                           scripts[i].string());
            // npos + 1 is 0: one line only is all of it.
            const std::string last = any.out.substr(any.out.rfind('\n', any.out.size() - 2) + 1);
            EXPECT_TRUE(any.exitCode == 0 || any.exitCode == 1)
                << preset << " " << name << ": " << any.exitCode;
            EXPECT_NE(last.find("\tend\t"), std::string::npos) << preset << " " << name << ": " << last;
        }
    }
    std::istringstream timeline(timesOfDay);
    int shots = 0;
    for (std::string line; std::getline(timeline, line);) {
        long long ms = 0;
        int count = 0, fileLine = 0, pass = 0;
        if (std::sscanf(line.c_str(), "%lld\tshot\t%d\t%d\t%d", &ms, &count, &fileLine, &pass) != 4) continue;
        ++shots;
        // The script's times lie between 21:14:30 and 21:15:30; the rehearsal starts at 21:14:00.
        EXPECT_LT(ms - pass * 86400000ll, 120000) << line;
    }
    EXPECT_GT(shots, 6);
}

} // namespace
} // namespace orvex::test

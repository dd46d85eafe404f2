// Whole rehearsals kept as data in tests/scenarios/: NAME.txt is the script, NAME.ini (when there) the
// virtual body it runs on, NAME.args (when there) more options, NAME.wav (when there) what its Sound lines
// hear, and NAME.timeline what `orvex-cli simulate`
// prints for them, from a clock set to 2026-12-06 21:00:00. Its folder then holds exactly the pictures its
// timeline names (nothing half-downloaded, no thumbnail, nothing overwritten), and its exit code says whether
// it completed.
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> picturesNamed(const std::string& timeline) {
    std::set<std::string> names;
    std::istringstream lines(timeline);
    for (std::string line; std::getline(lines, line);)
        if (const auto at = line.find("\tpicture\t"); at != std::string::npos)
            names.insert(line.substr(at + 9));
    return names;
}

std::set<std::string> picturesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().parent_path() != dir && !isNightLog(entry.path()))
            names.insert(fs::relative(entry.path(), dir).string());
    return names;
}

TEST(Scenarios, EachRehearsalPrintsItsTimeline) {
    int scenarios = 0;
    for (const auto& entry : fs::directory_iterator(ORVEX_SCENARIOS_DIR)) {
        const fs::path script = entry.path();
        if (script.extension() != ".txt") continue;
        ++scenarios;
        const auto beside = [&](const char* extension) {
            return fs::path(script).replace_extension(extension);
        };
        // Run from a folder of its own: a run makes its picture folder beside the script.
        TempDir dir;
        // Its pictures written as files, so that the folder can be held to what the timeline names.
        std::string arguments = "--clock=2026-12-06T21:00:00 --pictures";
        if (fs::exists(beside(".ini")))
            arguments += " --camera=" + dir.write("body.ini", dir.read(beside(".ini")));
        if (fs::exists(beside(".wav")))
            arguments += " --sound=" + dir.write("sound.wav", dir.read(beside(".wav")));
        if (fs::exists(beside(".args"))) {
            const std::string options = dir.read(beside(".args"));
            arguments += " " + options.substr(0, options.find('\n'));
        }
        const CliResult r =
            runCli("simulate " + arguments + " " + dir.write("night.txt", dir.read(script)) + " 2>&1");
        EXPECT_EQ(r.out, dir.read(beside(".timeline"))) << script.filename();
        EXPECT_EQ(picturesIn(dir.path()), picturesNamed(r.out)) << script.filename();
        EXPECT_EQ(r.exitCode, r.out.ends_with("\tend\t35\tCompleted\n") ? 0 : 1) << script.filename();
    }
    EXPECT_GT(scenarios, 0);
}

} // namespace
} // namespace orvex::test

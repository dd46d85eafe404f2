// Whole rehearsals kept as data in tests/scenarios/: NAME.txt is the script, NAME.ini (when there) the
// virtual body it runs on, NAME.args (when there) more options, and NAME.timeline what `orvex-cli simulate`
// prints for them, from a clock set to 2026-12-06 21:00:00.
#include "tests/support/cli_process.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace orvex::test {
namespace {

std::string contentOf(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Scenarios, EachRehearsalPrintsItsTimeline) {
    int scenarios = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ORVEX_SCENARIOS_DIR)) {
        const std::filesystem::path script = entry.path();
        if (script.extension() != ".txt") continue;
        ++scenarios;
        const auto beside = [&](const char* extension) {
            return std::filesystem::path(script).replace_extension(extension);
        };
        // Run from a folder of its own: a run makes its picture folder beside the script.
        TempDir dir;
        std::string arguments = "--clock=2026-12-06T21:00:00";
        if (std::filesystem::exists(beside(".ini")))
            arguments += " --camera=" + dir.write("body.ini", contentOf(beside(".ini")));
        if (std::filesystem::exists(beside(".args"))) {
            const std::string options = contentOf(beside(".args"));
            arguments += " " + options.substr(0, options.find('\n'));
        }
        const CliResult r =
            runCli("simulate " + arguments + " " + dir.write("night.txt", contentOf(script)) + " 2>&1");
        EXPECT_EQ(r.out, contentOf(beside(".timeline"))) << script.filename();
    }
    EXPECT_GT(scenarios, 0);
}

} // namespace
} // namespace orvex::test

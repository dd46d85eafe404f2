// orvex-cli check as a user runs it: a separate process, its output and its exit code. What it reads of a
// script is kept as data in tests/checks/: NAME.txt, checked with `--lang en` or the options of NAME.args,
// prints NAME.check, standard output and error together; a script it refuses (no summary line) exits with 1
// and prints nothing on standard output.
#include "tests/support/cli_process.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

TEST(CliCheck, EachScriptPrintsItsCheck) {
    int checks = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_SCENARIOS_DIR).parent_path() / "checks")) {
        const fs::path script = entry.path();
        if (script.extension() != ".txt") continue;
        ++checks;
        const auto beside = [&](const char* extension) {
            return fs::path(script).replace_extension(extension);
        };
        std::string options = fs::exists(beside(".args")) ? TempDir().read(beside(".args")) : "--lang en";
        options = options.substr(0, options.find('\n'));
        const std::string command = "check " + options + " " + script.string();
        const std::string expected = TempDir().read(beside(".check"));
        const bool refused = expected.find("summary\t") == std::string::npos;
        const CliResult r = runCli(command + " 2>&1");
        EXPECT_EQ(std::tuple(r.out, r.exitCode), std::tuple(expected, refused ? 1 : 0)) << script.filename();
        EXPECT_EQ(refused ? runCli(command + " 2>/dev/null").out : "", "") << script.filename();
    }
    EXPECT_GT(checks, 0);
}

// A FIFO without a writer would block the loader for ever; `timeout` turns a hang into a failure. A file
// whose reads fail, as /proc/self/mem's do, stands for a disk that refuses them. The language follows the
// system's by default.
TEST(CliCheck, OnlyARegularFileIsOpened) {
    const TempDir temp;
    const std::string dir = temp.path().string(), fifo = dir + "/fifo.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path, environment, output;
    } cases[] = {{fifo, "LC_ALL=C timeout 10", "Unable to access file " + fifo + "\n"},
                 {dir, "LC_ALL=C", "Unable to access file " + dir + "\n"},
                 {"/dev/null", "LC_ALL=C", "Unable to access file /dev/null\n"},
                 {"/proc/self/mem", "LC_ALL=C", "Unable to access file /proc/self/mem\n"},
                 {"/no/such.txt", "LC_ALL=fr_CA.UTF-8", "Impossible d'accéder au fichier /no/such.txt\n"},
                 {"/no/such.txt", "LC_ALL= LANG=de_DE.UTF-8", "Unable to access file /no/such.txt\n"}};
    for (const auto& c : cases)
        EXPECT_EQ(runCli("check " + c.path + " 2>&1", c.environment).out, c.output) << c.path;
}

} // namespace
} // namespace orvex::test

// orvex-cli simulate and run refuse options they cannot use, naming them; whole rehearsals are scenarios.
#include "tests/support/cli_process.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

TEST(CliSimulate, RefusedOptionsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"simulate y.txt", "unexpected argument: x.txt"},
        {"simulate --clock=yesterday", "--clock"},
        {"simulate --lockup=2", "--lockup"},
        {"simulate --until=soon", "--until"},
        {"simulate --utc-offset=1", "--utc-offset"},
        {"simulate --bogus", "--bogus"},
        {"simulate --loop=abc", "--loop"},
        {"simulate --loop=0", "--loop"},
        {"simulate --loop=5x", "--loop"},
        {"run --start=25:00", "--start"},
        {"run --start=7:30pm", "--start"},
        {"run --clock=2026-12-06T21:00:00", "--clock"},
        {"run --utc-offset=+01:00", "--utc-offset"},
        {"simulate --serialport", "--serialport"},
        {"simulate --prefix=../m42", "--prefix"},
        {"simulate --savetocam=no", "--savetocam"},
    };
    for (const auto& [args, option] : cases) {
        const CliResult r = runCli(std::string(args) + (*option ? " x.txt" : "") + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.out.rfind(std::string("orvex-cli: ") + option, 0), *option ? 0u : std::string::npos)
            << args << "\n"
            << r.out;
    }
}

} // namespace
} // namespace orvex::test

// The limits orvex-cli's commands put on a run: a night of `run` with a Loop line goes on for days.
#include "app/cli/run_options.h"

#include <gtest/gtest.h>

namespace orvex::cli {
namespace {

TEST(CliRunOptions, OnlyARehearsalHasATimeLimitByDefault) {
    constexpr std::uint64_t kHour = 3600 * 1000;
    const struct {
        Command command;
        std::vector<std::string> args;
        std::optional<std::uint64_t> untilMs;
    } cases[] = {
        {Command::Run, {"night.txt"}, std::nullopt},
        {Command::Run, {"--until=2h", "night.txt"}, 2 * kHour},
        {Command::Simulate, {"night.txt"}, 24 * kHour},
        {Command::Simulate, {"--until=25h", "night.txt"}, 25 * kHour},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto options = parseRunOptions(c.command, c.args, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->untilMs, c.untilMs) << c.args[0];
    }
}

} // namespace
} // namespace orvex::cli

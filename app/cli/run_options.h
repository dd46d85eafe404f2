#pragma once
// The options of `orvex-cli simulate` and `orvex-cli run`.
#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex::cli {

struct RunOptions {
    std::string script;
    std::optional<std::string> camera; // preset or profile; none: simulation mode
    std::optional<CivilTime> clock;    // local time at which the run starts
    int utcOffsetMinutes = 0;
    std::optional<std::string> loop;  // "" for --loop alone
    std::optional<std::string> start; // "" for --start alone
    std::optional<std::string> prefix;
    bool saveToCamera = false;
    std::optional<std::string> lockup; // Off, 1s … 10s, Manu
    std::optional<std::string> serialPort;
    bool universalTime = false;
    std::uint64_t untilMs = 24ull * 3600 * 1000;
    std::optional<int> language;
};

// Reads the arguments after the command word; an error text when they are wrong.
std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::string& error);
// "90s", "15m", "2h", "1h30m", "500ms"; a bare number is seconds.
std::optional<std::uint64_t> parseDuration(const std::string& text);
// The program's own command line for these options.
std::string programCommandLine(const RunOptions& options);

} // namespace orvex::cli

#pragma once
// Runs orvex-cli as a user would: a separate process, its output and its exit code.
#include <string>

namespace orvex::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
};

// `arguments` go to the shell as written (redirections included); `environment` is put before the command.
CliResult runCli(const std::string& arguments, const std::string& environment = "LC_ALL=C");

} // namespace orvex::test

#pragma once
// Runs orvex-cli as a user would: a separate process, its output and its exit code.
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace orvex::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
};

// `arguments` go to the shell as written (redirections included); `environment` is put before the command.
CliResult runCli(const std::string& arguments, const std::string& environment = "LC_ALL=C");

// Starts orvex-cli beside the test, its standard output in a file (and its standard error in `errors` when
// given), with LC_ALL=C and the given variables; returns its process id.
pid_t launchCli(const std::vector<std::string>& arguments, const std::string& output,
                const std::vector<std::pair<std::string, std::string>>& environment = {},
                const std::string& errors = "");
// Waits for it to end; its exit code, or -1 when it did not exit by itself.
int waitForCli(pid_t pid);

} // namespace orvex::test

#include "tests/support/cli_process.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace orvex::test {

CliResult runCli(const std::string& arguments, const std::string& environment) {
    const std::string command = environment + " " + ORVEX_CLI_PATH + " " + arguments;
    CliResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    while (const std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

} // namespace orvex::test

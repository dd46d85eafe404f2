#include "tests/support/cli_process.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

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

pid_t launchCli(const std::vector<std::string>& arguments, const std::string& output,
                const std::vector<std::pair<std::string, std::string>>& environment,
                const std::string& errors) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!std::freopen(output.c_str(), "w", stdout) ||
            (!errors.empty() && !std::freopen(errors.c_str(), "w", stderr)))
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(ORVEX_CLI_PATH)};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        setenv("LC_ALL", "C", 1);
        // Ctrl-C as a terminal's foreground job has it, even when these tests run as a background job.
        std::signal(SIGINT, SIG_DFL);
        for (const auto& [name, value] : environment) setenv(name.c_str(), value.c_str(), 1);
        execv(ORVEX_CLI_PATH, argv.data());
        _exit(127);
    }
    return pid;
}

int waitForCli(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orvex::test

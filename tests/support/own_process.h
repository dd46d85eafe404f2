#pragma once
// A piece of a test run in a process of its own, for what lasts the rest of a process's life: the kernel's
// answers, a limit on the size of the files it writes, its current folder, its environment.
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace orvex::test {

// The exit code `body` returns in a child process; -1 when the child did not exit by itself.
inline int exitCodeInOwnProcess(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace orvex::test

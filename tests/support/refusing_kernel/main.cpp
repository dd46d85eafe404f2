// Runs a program on a kernel that refuses some calls, as a failing disk does:
//   refusing_kernel CALL=ERROR... -- PROGRAM [ARGUMENT...]
// CALL and ERROR by name, from those below: add what a night needs.
#include "tests/support/refused_calls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <sys/syscall.h>

int main(int argc, char** argv) {
    const std::map<std::string, long> calls{{"fsync", SYS_fsync}};
    const std::map<std::string, int> errors{{"EIO", EIO}};
    std::vector<std::pair<long, int>> refused;
    int at = 1;
    for (; at < argc && std::strcmp(argv[at], "--") != 0; ++at) {
        const std::string rule = argv[at];
        const auto equals = rule.find('=');
        const auto call = calls.find(rule.substr(0, equals));
        const auto error = errors.find(equals == std::string::npos ? "" : rule.substr(equals + 1));
        if (call == calls.end() || error == errors.end()) {
            std::fprintf(stderr, "refusing_kernel: unknown rule %s\n", argv[at]);
            return 2;
        }
        refused.emplace_back(call->second, error->second);
    }
    if (at + 1 >= argc) {
        std::fprintf(stderr, "usage: refusing_kernel CALL=ERROR... -- PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    orvex::test::refuseCalls(refused);
    execvp(argv[at + 1], argv + at + 1);
    std::perror(argv[at + 1]);
    return 127;
}

#pragma once
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace orvex {

// Only in a test's own child process: the files it writes from now on hold at most `bytes`, or as much as
// before with nothing. A write past it then fails as on a full disk, rather than ending the process.
inline void diskFullPast(std::optional<rlim_t> bytes) {
    static const rlim_t room = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        return limit.rlim_cur;
    }();
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes.value_or(room);
    setrlimit(RLIMIT_FSIZE, &limit);
}

} // namespace orvex

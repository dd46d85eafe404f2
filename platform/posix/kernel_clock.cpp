#include "platform/kernel_clock.h"

#include <sys/timex.h>

#include <cstdio>
#include <string>

namespace orvex {
namespace {

// The first line a command prints, without its end; empty when it cannot run or prints nothing. The
// command is a fixed text: nothing of the user's reaches the shell.
std::string firstLineOf(const char* command) {
    FILE* pipe = popen(command, "r");
    if (!pipe) return {};
    std::string line;
    for (int c = std::fgetc(pipe); c != EOF && c != '\n'; c = std::fgetc(pipe)) line += static_cast<char>(c);
    // The rest is not wanted, but the command must end before it is waited for.
    while (std::fgetc(pipe) != EOF) {
    }
    pclose(pipe);
    return line;
}

class SystemKernelClock final : public KernelClock {
  public:
    std::optional<KernelClockState> state() const override {
        timex reading{}; // modes 0: read only, allowed to anyone
        if (adjtimex(&reading) < 0) return std::nullopt;
        KernelClockState s;
        s.unsynchronised = (reading.status & STA_UNSYNC) != 0;
        s.estimatedErrorS = static_cast<double>(reading.esterror) / 1e6;
        s.maximumErrorS = static_cast<double>(reading.maxerror) / 1e6;
        return s;
    }

    std::string timeSource() const override {
        // chronyc's tracking report, as comma-separated values: the second is the source's name or address
        // (-n: no name lookup, which could hang without a network).
        const std::string tracking = firstLineOf("chronyc -n -c tracking 2>/dev/null");
        if (const auto first = tracking.find(','); first != std::string::npos) {
            const std::string name = tracking.substr(first + 1, tracking.find(',', first + 1) - first - 1);
            // chrony names no source while it has none.
            if (!name.empty() && name != "0.0.0.0" && name != "127.127.1.1") return name;
        }
        return firstLineOf("timedatectl show-timesync --property=ServerName --value 2>/dev/null");
    }
};

} // namespace

KernelClock& systemKernelClock() {
    static SystemKernelClock clock;
    return clock;
}

} // namespace orvex

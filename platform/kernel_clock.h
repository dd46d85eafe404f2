#pragma once
// What the computer knows of its own clock's accuracy: the kernel's time-keeping state (the one `timedatectl`
// shows) and the time source that keeps it in step. A seam, so that the logic can be given any state.
#include <optional>
#include <string>

namespace orvex {

struct KernelClockState {
    bool unsynchronised = true; // the kernel's own flag: no time source has set it in step lately
    double estimatedErrorS = 16.0;
    double maximumErrorS = 16.0;

    // As timedatectl reads it: in step, and the kernel's bound on the error under its own limit of 16 s.
    bool synchronised() const { return !unsynchronised && maximumErrorS < 16.0; }
};

class KernelClock {
  public:
    virtual ~KernelClock() = default;
    // None when the kernel cannot be asked.
    virtual std::optional<KernelClockState> state() const = 0;
    // The server or device the time-keeping daemon follows, as chrony or systemd-timesyncd names it; empty
    // when neither runs or neither can name one. It asks a daemon: slow, never on a run's path.
    virtual std::string timeSource() const = 0;
};

// The computer's own.
KernelClock& systemKernelClock();

} // namespace orvex

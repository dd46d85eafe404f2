#pragma once
// The computer's own clocks.
#include "platform/clock.h"

namespace orvex {

class SystemClock final : public Clock {
  public:
    // Never moved by setting the computer's time, and counting on while it is suspended where the system
    // can tell (the boot time), so that a run held up by a suspend catches up.
    std::uint32_t tick() const override;
    std::uint64_t microseconds() const override;
    CivilTime localTime() const override;
    CivilTime universalTime() const override;
    int utcOffsetMinutesAt(std::int64_t universalMs) const override;
    void sleep(unsigned ms) override;
};

} // namespace orvex

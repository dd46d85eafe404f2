#pragma once
// The computer's own clocks.
#include "platform/clock.h"

namespace orvex {

class SystemClock final : public Clock {
  public:
    // The monotonic clock, so that the tick never jumps when the computer's time is set.
    std::uint32_t tick() const override;
    std::uint64_t microseconds() const override;
    CivilTime localTime() const override;
    CivilTime universalTime() const override;
    void sleep(unsigned ms) override;
};

} // namespace orvex

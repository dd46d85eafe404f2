#pragma once
// Time as the program logic sees it: a wrapping 32-bit millisecond tick and civil time.
#include <cstdint>

namespace orvex {

struct CivilTime {
    int year = 1970, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary origin; wraps. Every elapsed time is an unsigned difference.
    virtual std::uint32_t tick() const = 0;
    // Microseconds on the tick's own time line (the tick is this over 1000, wrapped), for moments told finer
    // than a tick.
    virtual std::uint64_t microseconds() const = 0;
    virtual CivilTime localTime() const = 0;
    virtual CivilTime universalTime() const = 0;
    // Local time less universal time, in minutes, at a moment given as milliseconds since 1970 in universal
    // time: by the zone's rules, so that a moment across a change to or from summer time gets the other.
    virtual int utcOffsetMinutesAt(std::int64_t universalMs) const = 0;
    virtual void sleep(unsigned ms) = 0;
};

// Milliseconds from tick `from` to tick `to`, across a wrap of the counter.
inline std::uint32_t ticksBetween(std::uint32_t from, std::uint32_t to) {
    return to - from;
}

// Civil time of milliseconds since 1970-01-01 00:00, and back.
CivilTime civilFromMs(std::int64_t ms);
std::int64_t msFromCivil(const CivilTime& t);

} // namespace orvex

#pragma once
// One press of the shutter as the night log tells it: when its line was due, when the press went, and the
// values it was taken with.
#include <cstdint>
#include <string>

namespace orvex {

// A moment of the computer's local time to the microsecond, with that time's offset from UTC.
struct LocalMoment {
    std::int64_t localUs = 0; // since 1970-01-01 00:00 of local time
    int utcOffsetMinutes = 0;
};

struct ReleaseRecord {
    int sequence = 0; // the run's releases counted from 1
    int fileLine = 0;
    int pass = 0;
    LocalMoment planned;
    // None for a release the user makes by hand: its moment is not the program's to know.
    bool released = false;
    LocalMoment releasedAt;
    double lateMs = 0;
    // As the window shows them once the line's values are set.
    std::string av, tv, iso, quality;
};

} // namespace orvex

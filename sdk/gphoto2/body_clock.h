#pragma once
// A body's wall clock through libgphoto2's "datetime", which the EOS driver hands over as a moment: it reads
// the body's local seconds as universal time and makes a moment of that through the process's time zone, and
// on writing reads the moment as local time and makes seconds of it with TZ set to UTC for the length of its
// call. These undo that trip without touching the time zone: the reads take the shared side of the time zone
// lock (platform/time_zone.h), and the write must run under its exclusive side.
#include "sdk/sdk.h"

#include <ctime>

namespace orvex::gphoto {

// The wall clock a moment the library read stands for. Where the body shows a wall clock that the process's
// time zone skips (its spring-forward hour), the library has already made it the hour after.
EdsTime wallClockOf(std::time_t moment);
// The moment to write for the body to show `wall`. The library's own trip lands an hour early when the local
// time is summer time (glibc's mktime, asked for summer time in UTC): the moment an hour later makes up for
// it.
std::time_t momentShowing(const EdsTime& wall);

} // namespace orvex::gphoto

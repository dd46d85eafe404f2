#pragma once
// Moments of the day on the clock the script's times of day are read on, and those the clock set on skipped.
#include "core/run_state.h"
#include "platform/clock.h"

#include <cstdint>

namespace orvex {

struct Program;

// The clock times of day are read on: universal or local time.
CivilTime waitClockTime(const Program& program);
int secondOfDay(const CivilTime& t);
// Seconds from one second of the day on to another, across midnight.
int secondsOnward(int from, int to);
// The time that will pass until the waits' clock, `clockMs` (less than a day) short of a moment of the day,
// shows it: an hour more or less on the night the zone goes to or from summer time, and the next time it
// shows it when the clock goes back over it. A moment that the change skips keeps the clock's difference.
int passingMs(const Program& program, int clockMs);
// Seconds since 1970 of the last time the clock showed `targetSecond` of the day, up to `t`.
std::int64_t lastMoment(const CivilTime& t, int targetSecond);
// A moment the clock was set on over, which no line beyond it has been taken for since: the lines set
// within the jump are taken in their order, and the night goes on from the first set beyond it.
bool skippedOver(const LineWait& wait, std::int64_t moment);
// When a moment of the day fell due, in seconds since 1970 on the waits' clock: one the clock set on skipped,
// as the clock jumped past it.
std::int64_t dueMoment(const LineWait& wait, std::int64_t moment);

} // namespace orvex

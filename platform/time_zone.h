#pragma once
// The process's time zone is one piece of state for every thread: glibc's local time reads it, and a library
// that sets TZ for the length of a call (libgphoto2 does, to write a camera's clock) changes what every other
// thread's local time comes out as meanwhile. Local time is read under the shared side of this lock; such a
// library call runs under its exclusive side.
#include <shared_mutex>

namespace orvex {

std::shared_mutex& timeZoneLock();

} // namespace orvex

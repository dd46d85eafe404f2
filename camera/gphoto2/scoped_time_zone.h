#pragma once
// The process's time zone (TZ) changed for a while, then given back as it was.
//
// The EOS driver hands the body's clock over as a moment read through the process's time zone, where a
// spring-forward night has no 02:30 and an autumn night has two: the body's wall clock only survives that
// trip in universal time. Hold one set to "UTC0" around the library call that reads or writes the clock,
// under the library lock (the driver itself changes TZ inside that call).
#include <optional>
#include <string>

namespace orvex::gphoto {

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    std::optional<std::string> saved_;
};

} // namespace orvex::gphoto

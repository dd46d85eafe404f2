#pragma once
// Prints a run as it happens, one tab-separated event per line, timed from the run's first tick.
#include "core/run_observer.h"
#include "run/program.h"

#include <mutex>
#include <ostream>
#include <string>

namespace orvex::cli {

class TimelinePrinter : public RunObserver {
  public:
    TimelinePrinter(const Program& program, std::ostream& out) : program_(program), out_(out) {}
    void start() {
        startMs_ = program_.clock.microseconds() / 1000;
        started_ = true;
    }

    void statusChanged(RunStatus status) override;
    void shotCounted(int shotCount, int fileLine, int pass) override;
    void shutterReleased(int fileLine, int pass) override;
    void pictureStored(const std::string& path) override;
    void downloadFailed(int shotCount, const std::string& fileName) override;
    void lateChanged(bool late) override;
    void moveDetected(int level) override;
    void soundDetected(int level) override;
    void message(const std::string& caption, const std::string& text);
    void end(RunStatus status);
    void endUntil();

  private:
    void line(const std::string& event);
    const Program& program_;
    std::ostream& out_;
    std::mutex mutex_;
    // The run's first tick, on the clock's own 64-bit time line: the time since it is counted whole past the
    // 49.7 days after which the tick comes round, however long nothing was printed (a Move line that no
    // movement fires).
    std::uint64_t startMs_ = 0;
    bool started_ = false;
};

} // namespace orvex::cli

#pragma once
// Records what a run does, with the virtual time it happened at, for tests to compare.
#include "core/run_observer.h"
#include "platform/clock.h"

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace orvex {
// A run state in a failure message: its status message number, as on the timeline.
inline void PrintTo(RunStatus status, std::ostream* out) {
    *out << "status " << messageOf(status);
}
} // namespace orvex

namespace orvex::test {

// The event a change to that status records.
inline std::string statusEvent(RunStatus status) {
    return "status " + std::to_string(messageOf(status));
}

class Timeline : public RunObserver {
  public:
    explicit Timeline(const Clock& clock) : clock_(clock) {}
    // Times are counted from here.
    void start() { origin_ = clock_.tick(); }

    void statusChanged(RunStatus status) override { add(statusEvent(status)); }
    void shotCounted(int shot, int fileLine, int pass) override {
        add("shot " + std::to_string(shot) + " line " + std::to_string(fileLine) + " pass " +
            std::to_string(pass));
    }
    void pictureStored(const std::string& path) override {
        add("picture " + path.substr(path.rfind('/') + 1));
    }
    void downloadFailed(int shot, const std::string& fileName) override {
        add("download-failed " + std::to_string(shot) + " " + fileName);
    }
    void lateChanged(bool late) override { add(late ? "late 1" : "late 0"); }
    void soundDetected(int level) override { add("sound " + std::to_string(level)); }

    // "time event" lines, in order.
    std::vector<std::string> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }
    // Only the events that begin with the text.
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> result;
        for (const std::string& e : events())
            if (e.find(" " + prefix) != std::string::npos) result.push_back(e);
        return result;
    }

  private:
    void add(const std::string& event) {
        std::lock_guard lock(mutex_);
        events_.push_back(std::to_string(ticksBetween(origin_, clock_.tick())) + " " + event);
    }
    const Clock& clock_;
    std::uint32_t origin_ = 0;
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
};

} // namespace orvex::test

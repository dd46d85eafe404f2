#pragma once
// Follows a rehearsal and keeps what its plan draws: each release with how the shutter was opened, the waits
// of Sound and Move lines, loop passes, moves along a chain and the end.
#include "app/cli/plan.h"
#include "core/run_observer.h"
#include "platform/window.h"
#include "run/program.h"

#include <mutex>
#include <optional>

namespace orvex::cli {

class PlanRecorder : public RunObserver {
  public:
    explicit PlanRecorder(const Program& program) : program_(program) {}
    // The main window, whose fields show each shot's values as the user sees them.
    void watch(const Window& window) { window_ = &window; }
    // `script`: the file asked for, which names the plan until it is loaded (or when it cannot be).
    void start(const std::string& script);
    // A message the session gave the user.
    void told(const std::string& text);

    void statusChanged(RunStatus status) override;
    void shotCounted(int, int, int) override {}
    void shutterReleased(int fileLine, int pass) override;
    void pictureStored(const std::string&) override {}
    void moveDetected(int level) override;
    void soundDetected(int level) override;
    void end(RunStatus status);
    void endUntil();

    const Plan& plan() const { return plan_; }

  private:
    // Since start(), on the clock's own 64-bit time line: a rehearsal of weeks, or a wait that nothing fires,
    // goes on past the 49.7 days after which the tick comes round.
    std::uint64_t now() const;
    void follow(std::uint64_t at);
    void closeWait(std::uint64_t at);
    Release releaseOf(const ScriptLine& line) const;
    std::string shownValues() const;
    void ended(const std::string& text);

    const Program& program_;
    const Window* window_ = nullptr;
    std::mutex mutex_;
    std::uint64_t originMs_ = 0;
    std::string scriptPath_;
    std::string told_;
    int pass_ = 0;
    std::optional<PlannedWait> wait_;
    Plan plan_;
};

} // namespace orvex::cli

#pragma once
// Two followers of one run, told of each event in turn: the timeline and the plan.
#include "core/run_observer.h"

namespace orvex::cli {

class RunObservers final : public RunObserver {
  public:
    RunObservers(RunObserver& first, RunObserver& second) : first_(first), second_(second) {}
    void statusChanged(RunStatus status) override {
        first_.statusChanged(status);
        second_.statusChanged(status);
    }
    void shotCounted(int shotCount, int fileLine, int pass) override {
        first_.shotCounted(shotCount, fileLine, pass);
        second_.shotCounted(shotCount, fileLine, pass);
    }
    void shutterReleased(int fileLine, int pass) override {
        first_.shutterReleased(fileLine, pass);
        second_.shutterReleased(fileLine, pass);
    }
    void pictureStored(const std::string& path) override {
        first_.pictureStored(path);
        second_.pictureStored(path);
    }
    void downloadFailed(int shotCount, const std::string& fileName) override {
        first_.downloadFailed(shotCount, fileName);
        second_.downloadFailed(shotCount, fileName);
    }
    void lateChanged(bool late) override {
        first_.lateChanged(late);
        second_.lateChanged(late);
    }
    void moveDetected(int level) override {
        first_.moveDetected(level);
        second_.moveDetected(level);
    }
    void soundDetected(int level) override {
        first_.soundDetected(level);
        second_.soundDetected(level);
    }

  private:
    RunObserver& first_;
    RunObserver& second_;
};

} // namespace orvex::cli

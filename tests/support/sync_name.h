#pragma once
// A shared value of one test alone: its name is removed before and after, so that no run of another test or
// of a user's Orvex starts this test's programs.
#include <atomic>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace orvex::test {

class PrivateSyncName {
  public:
    PrivateSyncName()
        : name_("/orvex-sync-test-" + std::to_string(getpid()) + "-" + std::to_string(++count())) {
        shm_unlink(name_.c_str());
    }
    ~PrivateSyncName() { shm_unlink(name_.c_str()); }
    PrivateSyncName(const PrivateSyncName&) = delete;
    PrivateSyncName& operator=(const PrivateSyncName&) = delete;
    const std::string& name() const { return name_; }

  private:
    static std::atomic<int>& count() {
        static std::atomic<int> n{0};
        return n;
    }
    std::string name_;
};

} // namespace orvex::test

#pragma once
// The one thread that owns a libgphoto2 camera: the library has no lock of its own per camera (two calls
// at once fail with "busy"), so every call on a camera is made here. Other threads hand it work and wait.
// While it has no work it runs `idle` every `idleEveryMs`, which is how the camera's events are read; an
// idle step that returns true has more to do (a file coming over piece by piece) and runs again as soon as
// no work is waiting. Work handed in always goes first, and the idle steps hold back for `settleMs` after
// it, so that a series of calls (a shot's settings, then its release) does not wait behind them one by one.
// It runs in the C locale, as the library's labels must be read (c_locale.h).
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

namespace orvex::gphoto {

class OwnerThread {
  public:
    OwnerThread(std::function<bool()> idle, unsigned idleEveryMs, unsigned settleMs);
    // Finishes the work handed in so far, then ends the thread.
    ~OwnerThread();
    OwnerThread(const OwnerThread&) = delete;
    OwnerThread& operator=(const OwnerThread&) = delete;

    // Runs fn on the owner thread and returns its result; runs it at once when called from there.
    template <class Fn> auto call(Fn&& fn) -> decltype(fn()) {
        if (std::this_thread::get_id() == thread_.get_id()) return fn();
        std::packaged_task<decltype(fn())()> task(std::forward<Fn>(fn));
        auto result = task.get_future();
        post([&task] { task(); });
        return result.get();
    }

  private:
    void post(std::function<void()> work);
    void loop();

    const std::function<bool()> idle_;
    const unsigned idleEveryMs_, settleMs_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> work_;
    bool stopping_ = false;
    std::thread thread_; // last: starts once the rest is ready
};

} // namespace orvex::gphoto

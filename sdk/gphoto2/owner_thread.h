#pragma once
// The one thread that owns a libgphoto2 camera: the library has no lock of its own per camera (two calls
// at once fail with "busy"), so every call on a camera is made here. Other threads hand it work and wait.
// While it has no work it runs `idle`, which is how the camera's events are read and its files brought over;
// `idle` returns how many milliseconds may pass before it runs again. Work handed in always goes first.
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
    explicit OwnerThread(std::function<unsigned()> idle);
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

    const std::function<unsigned()> idle_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> work_;
    bool stopping_ = false;
    std::thread thread_; // last: starts once the rest is ready
};

} // namespace orvex::gphoto

#pragma once
// Ctrl-C, taken when the loop looks for it rather than by whichever thread the system hands it to. From its
// making on, this thread and every thread it starts keep Ctrl-C waiting: a press stays whole with the process
// until `taken()` finds it, and no worker thread's call into a camera library or the disk is cut short by it.
// Made before the first thread of the session, then.

namespace orvex {

class InterruptWatch {
  public:
    InterruptWatch();
    // This thread's mask as before: a press not yet taken then has its usual effect.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True once for the presses since the last call.
    bool taken();

  private:
    bool wasWaiting_ = false; // Ctrl-C was already kept waiting when the watch began
};

} // namespace orvex

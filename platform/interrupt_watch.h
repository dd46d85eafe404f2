#pragma once
// Ctrl-C, and the other signals that end a session as it does (kill's default SIGTERM, the terminal's SIGHUP
// as it closes), taken when the loop looks for them rather than by whichever thread the system hands them
// to. From its making on, this thread and every thread it starts keep them waiting: a signal stays whole
// with the process until `taken()` finds it, and no worker thread's call into a camera library or the disk is
// cut short by it. Made before the first thread of the session, then. A signal the process was started
// ignoring (nohup's hang-up, Ctrl-C for a job a script started in the background) stays ignored. Nor does a
// reader of the output that goes (`| head`, a pipeline's Ctrl-C) end the session: its writes fail, and the
// run goes on or ends as it would.

#include <vector>

namespace orvex {

// The signals that end a session (Ctrl-C, SIGTERM, SIGHUP), but for those the process was started ignoring.
std::vector<int> heededEndingSignals();

class InterruptWatch {
  public:
    InterruptWatch();
    // This thread's mask as before: a signal not yet taken then has its usual effect.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True once for the signals since the last call.
    bool taken();

  private:
    unsigned watched_ = 0;                // bit n: signal n ends the session
    unsigned wasWaiting_ = 0;             // bit n: signal n was already kept waiting when the watch began
    void (*pipeHandling_)(int) = nullptr; // SIGPIPE's, given back at the end
};

} // namespace orvex

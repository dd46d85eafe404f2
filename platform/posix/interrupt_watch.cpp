#include "platform/interrupt_watch.h"

#include <csignal>
#include <ctime>
#include <pthread.h>

namespace orvex {
namespace {

sigset_t interruptOnly() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

InterruptWatch::InterruptWatch() {
    const sigset_t set = interruptOnly();
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &set, &before);
    wasWaiting_ = sigismember(&before, SIGINT) == 1;
}

InterruptWatch::~InterruptWatch() {
    if (wasWaiting_) return;
    const sigset_t set = interruptOnly();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

bool InterruptWatch::taken() {
    const sigset_t set = interruptOnly();
    const timespec now{0, 0};
    bool any = false;
    while (sigtimedwait(&set, nullptr, &now) == SIGINT) any = true;
    return any;
}

} // namespace orvex

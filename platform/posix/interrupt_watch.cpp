#include "platform/interrupt_watch.h"

#include <csignal>
#include <ctime>
#include <pthread.h>

namespace orvex {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t setOf(unsigned bits) {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kEndingSignals)
        if (bits & (1u << s)) sigaddset(&set, s);
    return set;
}

} // namespace

std::vector<int> heededEndingSignals() {
    std::vector<int> heeded;
    for (const int s : kEndingSignals) {
        struct sigaction now {};
        if (sigaction(s, nullptr, &now) == 0 && now.sa_handler != SIG_IGN) heeded.push_back(s);
    }
    return heeded;
}

InterruptWatch::InterruptWatch() : pipeHandling_(std::signal(SIGPIPE, SIG_IGN)) {
    // A signal kept waiting is never thrown away, even one set to be ignored: only those the process heeds.
    for (const int s : heededEndingSignals()) watched_ |= 1u << s;
    const sigset_t set = setOf(watched_);
    sigset_t before;
    pthread_sigmask(SIG_BLOCK, &set, &before);
    for (const int s : kEndingSignals)
        if (sigismember(&before, s) == 1) wasWaiting_ |= 1u << s;
}

InterruptWatch::~InterruptWatch() {
    const sigset_t set = setOf(watched_ & ~wasWaiting_);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    if (pipeHandling_ != SIG_ERR) std::signal(SIGPIPE, pipeHandling_);
}

bool InterruptWatch::taken() {
    const sigset_t set = setOf(watched_);
    const timespec now{0, 0};
    bool any = false;
    while (sigtimedwait(&set, nullptr, &now) > 0) any = true;
    return any;
}

} // namespace orvex

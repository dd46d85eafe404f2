#pragma once
// An environment variable set for a test's lifetime, then given back as it was; with the time zone, call
// tzset() after. So too a signal's handling, which a program started meanwhile inherits when it is ignored,
// and the C library's locale, which a desktop program takes from the user's (Qt sets it so).
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <string>

namespace orvex::test {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_.empty() ? unsetenv(name_) : setenv(name_, old_.c_str(), 1); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    const char* name_;
    std::string old_;
};

class ScopedSignal {
  public:
    ScopedSignal(int signal, bool ignored) : signal_(signal) {
        struct sigaction given {};
        given.sa_handler = ignored ? SIG_IGN : SIG_DFL;
        sigaction(signal, &given, &old_);
    }
    ~ScopedSignal() { sigaction(signal_, &old_, nullptr); }
    ScopedSignal(const ScopedSignal&) = delete;
    ScopedSignal& operator=(const ScopedSignal&) = delete;

  private:
    int signal_;
    struct sigaction old_ {};
};

class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name)
        : old_(std::setlocale(LC_ALL, nullptr)), taken_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ScopedLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool taken() const { return taken_; }

  private:
    std::string old_;
    bool taken_;
};

} // namespace orvex::test

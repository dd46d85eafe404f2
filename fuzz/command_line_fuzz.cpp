// The desktop program's command line: arguments (separated by NUL bytes in the input) joined and read as
// the program does, and every value option read as the main window would read it.
#include "core/startup_options.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace orvex;
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += static_cast<char>(data[i]);
    }
    const StartupOptions o = parseCommandLine(joinArguments(arguments));
    if (o.startText)
        if (const auto t = parseStartTime(*o.startText))
            if (t->hour < 0 || t->hour > 23 || t->minute < 0 || t->minute > 59 || t->second < 0 ||
                t->second > 59)
                std::abort();
    if (o.loopText)
        if (const auto n = parseLoopCount(*o.loopText))
            if (*n < 2 || *n > 10000) std::abort();
    // The whole serial number is kept only when the 32-bit reading could not hold it.
    if (o.connectSerialNumber && *o.connectSerialNumber <= 0xFFFFFFFFull) std::abort();
    if (o.lockupText)
        if (const auto entry = lockupEntry(*o.lockupText))
            if (entry->empty() || entry->back() != 's') std::abort();
    return 0;
}

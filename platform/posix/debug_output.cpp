#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>

namespace orvex {

void debugOutput(std::string_view text) {
    const char* wanted = std::getenv("ORVEX_DEBUG");
    if (!wanted || !*wanted) return;
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

} // namespace orvex

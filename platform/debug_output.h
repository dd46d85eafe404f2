#pragma once
// What the libraries under the program say of themselves: for the developer, never for the user. It reaches
// standard error only when ORVEX_DEBUG is set, so that the user's terminal holds only the program's own
// messages.
#include <string_view>

namespace orvex {

void debugOutput(std::string_view text);

} // namespace orvex

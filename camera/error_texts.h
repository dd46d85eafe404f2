#pragma once
// The text of an error code, the camera SDK's or the program's own, in the user's language.
#include <cstdint>
#include <string>

namespace orvex {

std::string errorText(int language, std::int32_t code);

} // namespace orvex

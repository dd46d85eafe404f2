#pragma once
// The command of a freedesktop.org desktop entry ("Exec=gedit %U") made into an argument list.
#include <string>
#include <vector>

namespace orvex {

// The words of the Exec value with its field codes filled: %f and %u by the first file, %F and %U by all,
// %% by "%"; other codes go. Files the value has no code for are appended. Empty when the value is
// malformed (an unclosed quote).
std::vector<std::string> execArguments(const std::string& exec, const std::vector<std::string>& files);

} // namespace orvex

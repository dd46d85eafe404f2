#pragma once
// The picture of a plan in a window of its own over the main window, scrollable when the night is wide.
#include "platform/window.h"

#include <string>

namespace orvex {

// Modal over `owner`, until the user closes it.
void showPlanWindow(Window& owner, const std::string& title, const std::string& svg);

} // namespace orvex

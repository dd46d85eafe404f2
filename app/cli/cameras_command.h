#pragma once
// `orvex-cli cameras`: the bodies found on the computer, as the desktop program's camera list numbers them.
#include <ostream>

namespace orvex::cli {

// One line per body: "n\tdescription\tport". Returns 0, also when none is found.
int listCameras(std::ostream& out);

} // namespace orvex::cli

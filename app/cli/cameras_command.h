#pragma once
// `orvex-cli cameras`: the bodies found on the computer, as the desktop program's camera list numbers them.
#include <ostream>

namespace orvex::cli {

// One line per body: "n\tdescription\tport\tbody id", the body id being the number -connect takes (empty
// when the body cannot be opened or does not tell it). When none is found, says so on `err`. Returns 0.
int listCameras(int language, std::ostream& out, std::ostream& err);

} // namespace orvex::cli

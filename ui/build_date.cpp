// Alone in its file, so that only this file is compiled anew each day.
#include "ui/help_about.h"

namespace orvex {

const char* buildDate() {
    return __DATE__;
}

} // namespace orvex

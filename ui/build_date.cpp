// Alone in its file, so that only this file is compiled anew each day or version.
#include "ui/help_about.h"

namespace orvex {

const char* buildDate() {
    return __DATE__;
}

const char* programVersion() {
    return ORVEX_VERSION;
}

} // namespace orvex

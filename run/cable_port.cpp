#include "run/cable_port.h"

namespace orvex {

bool setCableLines(Program& p, bool asserted) {
    return p.cable && p.cable->setLines(asserted);
}

void closeCable(Program& p) {
    if (!p.cable) return;
    setCableLines(p, false);
    p.cable.reset();
}

} // namespace orvex

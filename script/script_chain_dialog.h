#pragma once
// SCRIPT_CHAIN_DIALOG: the user lists scripts of one folder in order, and OK writes the link files that make
// them a chain, or a ring when Close chain is checked.
#include "core/program.h"
#include "platform/window.h"

#include <string>
#include <vector>

namespace orvex {

// The names in the list, without folder and extension; it lives as long as the dialog.
struct ChainList {
    std::vector<std::string> names;
};

void scriptChainProcedure(Program& program, ChainList& chain, Window& dialog, const DialogMessage& message);

} // namespace orvex

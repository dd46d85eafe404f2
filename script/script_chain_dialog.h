#pragma once
// SCRIPT_CHAIN_DIALOG: the user lists scripts of one folder in order, and OK writes the link files that make
// them a chain, or a ring when Close chain is checked.
#include "core/catalogue.h"
#include "platform/window.h"

#include <string>
#include <vector>

namespace orvex {

// What the dialog works on; it lives as long as the dialog.
struct ChainList {
    std::vector<std::string> names; // in the list, without folder and extension
    // Where every chain is written: the first script added to a chain sets it, and later dialogs keep it.
    std::string& directory;
    std::string scriptDirectory; // the loaded script's, where the first choice starts
    int language = kEnglish;
    const char* text(int number) const { return messageText(language, number); }
};

void scriptChainProcedure(ChainList& chain, Window& dialog, const DialogMessage& message);

} // namespace orvex

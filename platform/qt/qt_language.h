#pragma once
// Qt's own texts (the file dialogs, standard buttons, the edit menu of a text field) in the program's
// language, from the translations Qt ships.
#include <string>

namespace orvex {

// "en" or "fr"; loads Qt's translation only when the language changes.
void speakQtLanguage(const std::string& language);

} // namespace orvex

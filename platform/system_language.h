#pragma once

namespace orvex {

// The system's language as a Windows language id (1036 French, 3084 French Canadian, 1033 US English …),
// from the locale the environment names (LC_ALL, LC_MESSAGES, LANG).
unsigned systemLanguageId();

} // namespace orvex

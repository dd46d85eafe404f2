#pragma once
// Why the value the instances share cannot be used, in the user's language: "/orvex-sync-1000 was changed by
// another program: it no longer holds its value".
#include "platform/posix/shared_synchro.h"

#include <string>

namespace orvex {

std::string synchroProblemText(int language, const SynchroProblem& problem);

} // namespace orvex

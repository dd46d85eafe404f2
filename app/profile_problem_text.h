#pragma once
// What is wrong with a virtual body's profile, in the user's language: "body.ini:2: unknown key 'flash'".
#include "sdk/virtual/virtual_profile.h"

#include <string>

namespace orvex {

std::string profileProblemText(int language, const ProfileProblem& problem);

} // namespace orvex

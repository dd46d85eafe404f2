// The virtual camera's profile reader on any text: a profile, or a problem that says where and what is wrong,
// in both languages.
#include "app/profile_problem_text.h"
#include "core/catalogue.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orvex::ProfileProblem problem;
    const auto profile = orvex::parseVirtualProfile(std::string(reinterpret_cast<const char*>(data), size),
                                                    "fuzz.ini", problem);
    if (profile) return 0;
    for (const int language : {orvex::kEnglish, orvex::kFrench})
        if (!profileProblemText(language, problem).starts_with("fuzz.ini")) std::abort();
    return 0;
}

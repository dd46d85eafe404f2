#include "app/profile_problem_text.h"

#include "core/catalogue.h"

namespace orvex {
namespace {

// The catalogue holds the faults' texts in the order of their kinds.
constexpr int kFirstProfileMessage = 264;
static_assert(kFirstProfileMessage + ProfileProblem::kNeitherPresetNorFile == 283);

} // namespace

std::string profileProblemText(int language, const ProfileProblem& problem) {
    const std::string text = formatMessage(language, kFirstProfileMessage + problem.fault, problem.words);
    return problem.where.empty() ? text : problem.where + ": " + text;
}

} // namespace orvex

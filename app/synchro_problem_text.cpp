#include "app/synchro_problem_text.h"

#include "core/catalogue.h"

namespace orvex {
namespace {

// The catalogue holds the faults' texts in the order of their kinds, after kNone.
constexpr int kFirstSynchroMessage = 284;
static_assert(kFirstSynchroMessage + SynchroProblem::kSpoiled - 1 == 289);

} // namespace

std::string synchroProblemText(int language, const SynchroProblem& problem) {
    if (problem.fault == SynchroProblem::kNone) return {};
    return formatMessage(language, kFirstSynchroMessage + problem.fault - 1, {problem.name, problem.detail});
}

} // namespace orvex

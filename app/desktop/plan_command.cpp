#include "app/desktop/plan_command.h"

#include "app/desktop/rehearsal_arguments.h"
#include "platform/files.h"
#include "platform/qt/plan_rehearsal.h"
#include "platform/qt/plan_window.h"

namespace orvex {
namespace {

enum Message { kError = 54, kCannotExecute = 26, kPlanUnwritten = 250, kPlanTitle = 258 };

} // namespace

void showScriptPlan(const Program& p, Window& w) {
    // A second choice of the entry while the first rehearsal runs is the same plan.
    static bool rehearsing = false;
    if (rehearsing || !p.script.loaded) return;
    rehearsing = true;
    // orvex-cli reads Orvex.ini where the program does.
    const RehearsedPlan plan = rehearsePlan(
        [&](const std::string& svg, const std::optional<std::string>& sound) {
            return rehearsalArguments(p, w, svg, sound);
        },
        listensForSound(p.script), p.startupDirectory);
    rehearsing = false;
    if (plan.svg.empty()) {
        std::string why =
            plan.problem.empty() ? std::string(p.text(kCannotExecute)) + " orvex-cli" : plan.problem;
        if (!plan.unwritten.empty()) why = formatMessage(p.language, kPlanUnwritten, plan.unwritten);
        w.messageBox(why, p.text(kError), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    showPlanWindow(w, formatMessage(p.language, kPlanTitle, fileNameOf(p.script.path)), plan.svg);
}

} // namespace orvex

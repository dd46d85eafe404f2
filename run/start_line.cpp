#include "run/start_line.h"

#include "core/text_scan.h"

#include <algorithm>

namespace orvex {
namespace {

constexpr int kMessageNotAnExposure = 230;
constexpr int kMessageError = 54;

} // namespace

bool chooseStartLine(Program& p, Window& w, const std::string& fileLine) {
    std::size_t consumed = 0;
    const auto number = scanWhole(fileLine, &consumed);
    const auto& lines = p.script.lines;
    const auto line = number && consumed == fileLine.size()
                          ? std::find_if(lines.begin(), lines.end(),
                                         [&](const ScriptLine& l) { return l.fileLine == *number; })
                          : lines.end();
    if (line == lines.end()) {
        w.messageBox(formatMessage(p.language, kMessageNotAnExposure, fileLine), p.text(kMessageError),
                     BoxIcon::Error, BoxButtons::Ok);
        return false;
    }
    p.run.startLine = static_cast<int>(line - lines.begin());
    return true;
}

} // namespace orvex

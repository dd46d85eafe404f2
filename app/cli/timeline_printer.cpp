#include "app/cli/timeline_printer.h"

#include "core/text_scan.h"

namespace orvex::cli {
namespace {

constexpr int kMessageNotStarted = 240;

} // namespace

void TimelinePrinter::line(const std::string& event) {
    std::lock_guard lock(mutex_);
    const std::uint64_t elapsed = started_ ? program_.clock.microseconds() / 1000 - startMs_ : 0;
    out_ << elapsed << '\t' << event << '\n' << std::flush;
}

void TimelinePrinter::statusChanged(RunStatus status) {
    line("status\t" + std::to_string(messageOf(status)) + '\t' + program_.text(messageOf(status)));
}

void TimelinePrinter::shotCounted(int shotCount, int fileLine, int pass) {
    line("shot\t" + std::to_string(shotCount) + '\t' + std::to_string(fileLine) + '\t' +
         std::to_string(pass));
}

void TimelinePrinter::shutterReleased(int fileLine, int pass) {
    line("release\t" + std::to_string(fileLine) + '\t' + std::to_string(pass));
}

void TimelinePrinter::pictureStored(const std::string& path) {
    // Relative to the script's folder, where users look for them.
    const std::string& folder = program_.script.directory;
    const std::string shown =
        !folder.empty() && path.rfind(folder, 0) == 0 ? path.substr(folder.size()) : path;
    line("picture\t" + shown);
}

void TimelinePrinter::downloadFailed(int shotCount, const std::string& fileName) {
    line("download-failed\t" + std::to_string(shotCount) + '\t' + fileName);
}

void TimelinePrinter::lateChanged(bool late) {
    line(late ? "late\t1" : "late\t0");
}

void TimelinePrinter::moveDetected(int level) {
    line("move\t" + std::to_string(level));
}

void TimelinePrinter::soundDetected(int level) {
    line("sound\t" + std::to_string(level));
}

void TimelinePrinter::message(const std::string& caption, const std::string& text) {
    line("message\t" + caption + '\t' + oneLine(text));
}

void TimelinePrinter::end(RunStatus status) {
    // Idle shows no text in the window; as an end it is a run that never started (refused at its start, or a
    // slave whose master never came).
    const int text = status == RunStatus::kIdle ? kMessageNotStarted : messageOf(status);
    line("end\t" + std::to_string(messageOf(status)) + '\t' + program_.text(text));
}

void TimelinePrinter::endUntil() {
    line("end\t-\tuntil");
}

} // namespace orvex::cli

#include "ui/help_about.h"

#include "platform/data_files.h"

#include <string>

namespace orvex {
namespace {

enum Message {
    kAboutTitle = 3,
    kError = 54,
    kHelpDocument = 66,
    kNoHelp = 122,
    kProductName = 188,
    kVersionLabel = 194,
};

} // namespace

void showHelp(Program& p, Window& w) {
    const std::string document = findDataFile(p.startupDirectory, p.text(kHelpDocument));
    if (!document.empty() && p.shell && p.shell->start({ProgramKind::Document, {}, {document}})) return;
    w.messageBox(p.text(kNoHelp), p.text(kError), BoxIcon::Error, BoxButtons::Ok);
}

void showAbout(const Program& p, Window& w) {
    const std::string text =
        std::string(p.text(kProductName)) + "\r" + p.text(kVersionLabel) + "(" + buildDate() + ")\r";
    w.messageBox(text, p.text(kAboutTitle), BoxIcon::Information, BoxButtons::Ok);
}

} // namespace orvex

#include "ui/help_about.h"

#include "core/catalogue.h"
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

void showHelp(const std::string& startupDirectory, Shell* shell, int language, Window& w) {
    const std::string document = findDataFile(startupDirectory, messageText(language, kHelpDocument));
    if (!document.empty() && shell && shell->start({ProgramKind::Document, {}, {document}})) return;
    w.messageBox(messageText(language, kNoHelp), messageText(language, kError), BoxIcon::Error,
                 BoxButtons::Ok);
}

void showAbout(int language, Window& w) {
    const std::string text = std::string(messageText(language, kProductName)) + "\r" +
                             messageText(language, kVersionLabel) + "(" + buildDate() + ")\r";
    w.messageBox(text, messageText(language, kAboutTitle), BoxIcon::Information, BoxButtons::Ok);
}

} // namespace orvex

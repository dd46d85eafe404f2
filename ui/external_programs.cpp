#include "ui/external_programs.h"

#include "core/catalogue.h"
#include "platform/ascii_case.h"

namespace orvex {

ProgramKind programKind(const std::string& storedName) {
    if (equalsIgnoringCase(storedName, "Notepad.exe")) return ProgramKind::TextEditor;
    if (equalsIgnoringCase(storedName, "Excel.exe") || equalsIgnoringCase(storedName, "Scalc.exe"))
        return ProgramKind::Spreadsheet;
    if (storedName.empty() || equalsIgnoringCase(storedName, "Explorer.exe")) return ProgramKind::FileManager;
    return ProgramKind::Named;
}

bool runExternalProgram(Shell* shell, int language, Window& w, const std::string& storedName,
                        const std::vector<std::string>& arguments) {
    const ProgramKind kind = programKind(storedName);
    ProgramStart request{kind, kind == ProgramKind::Named ? storedName : std::string(), arguments};
    // The arguments are files, often named relative to the folder Orvex started in: one whose name begins
    // with a dash would be taken for an option by the program it is given to, which then opens nothing.
    for (std::string& file : request.arguments)
        if (file.starts_with('-')) file.insert(0, "./");
    if (shell && shell->start(request)) return true;
    // The empty name stands for Explorer.exe: the message names it, rather than nothing.
    const std::string named = storedName.empty() ? std::string("Explorer.exe") : storedName;
    w.messageBox(std::string(messageText(language, 26)) + " " + named, messageText(language, 54),
                 BoxIcon::Error, BoxButtons::Ok);
    return false;
}

} // namespace orvex

#include "app/script_menu.h"

#include "platform/ascii_case.h"
#include "platform/files.h"
#include "resources/script_chain_dialog.h"
#include "run/script_load.h"
#include "script/script_chain_dialog.h"
#include "script/script_loader.h"
#include "ui/external_programs.h"

namespace orvex {
namespace {

enum Message {
    kLoadTitle = 98,
    kEditTitle = 49,
    kScriptFilter = 162,
    kCreateQuestion = 119,
    kConfirm = 36,
    kCannotAccess = 57,
    kError = 54,
};

std::optional<std::string> chooseScript(const Program& p, Window& w, int title, bool mustExist) {
    return w.openFileDialog({p.text(title), p.text(kScriptFilter), p.script.directory, {}, mustExist});
}

void openInEditor(Program& p, Window& w, const std::string& path) {
    // The path travels as one argument, blanks and all, whichever editor it is.
    runExternalProgram(p.shell, p.language, w, p.settings.scriptEditor, {path});
}

} // namespace

std::string newScriptText() {
    return std::string(kScriptHeader) + "\n";
}

void loadScriptFromDialog(Program& p, Window& w) {
    // The lines of a running script must not change under the run. A slave's run may begin while the user
    // chooses, its master starting meanwhile: the choice then comes too late.
    if (p.run.running) return;
    const auto path = chooseScript(p, w, kLoadTitle, true);
    if (path && !p.run.running) loadScript(p, w, *path);
}

void editCurrentScript(Program& p, Window& w) {
    if (p.script.loaded) openInEditor(p, w, p.script.path);
}

void editOrCreateScript(Program& p, Window& w) {
    auto path = chooseScript(p, w, kEditTitle, false);
    if (!path) return;
    if (path->size() < 4 || !equalsIgnoringCase(std::string_view(*path).substr(path->size() - 4), ".txt"))
        *path += ".txt";
    if (!fileExists(*path)) {
        if (w.messageBox(*path + p.text(kCreateQuestion), p.text(kConfirm), BoxIcon::Question,
                         BoxButtons::YesNo) != BoxAnswer::Yes)
            return;
        if (!createNewFile(*path, newScriptText())) {
            w.messageBox(std::string(p.text(kCannotAccess)) + " " + *path, p.text(kError), BoxIcon::Error,
                         BoxButtons::Ok);
            return;
        }
    }
    openInEditor(p, w, *path);
}

void loadDroppedScript(Program& p, Window& w, const std::vector<std::string>& files) {
    // A drop queued just before a run started arrives during it: the run's lines stay.
    if (p.run.running || files.empty()) return;
    loadScript(p, w, files.front());
}

void chainScripts(Program& p, Window& w) {
    ChainList chain{{}, p.chainDirectory, p.script.directory, p.language};
    w.runModal(SCRIPT_CHAIN_DIALOG,
               [&chain](Window& d, const DialogMessage& m) { scriptChainProcedure(chain, d, m); });
}

} // namespace orvex

#include "script/script_chain_dialog.h"

#include "core/text_scan.h"
#include "platform/files.h"
#include "resources/script_chain_dialog.h"

#include <algorithm>
#include <utility>

namespace orvex {
namespace {

enum Message {
    kTitle = 158,
    kAddTitle = 9,
    kScriptFilter = 162,
    kInvalidFile = 75,
    kOtherFolder = 150,
    kAlreadyInList = 11,
    kAlreadyChained = 156,
    kWarning = 198,
    kCannotChain = 157,
    kError = 54,
};

void error(const Program& p, Window& d, const std::string& text) {
    d.messageBox(text, p.text(kError), BoxIcon::Error, BoxButtons::Ok);
}

void enableButtons(const ChainList& chain, Window& d) {
    d.enableItem(kOkCommand, chain.names.size() >= 2);
    for (int button : {kRemoveButton, kMoveUpButton, kMoveDownButton})
        d.enableItem(button, !chain.names.empty());
}

void refill(const ChainList& chain, Window& d, int selected) {
    d.listClear(kChainList);
    for (const std::string& name : chain.names) d.listAdd(kChainList, name);
    d.listSelectIndex(kChainList, selected);
}

void initialise(const Program& p, ChainList& chain, Window& d) {
    d.setTitle(p.text(kTitle));
    for (const ControlTemplate& c : SCRIPT_CHAIN_DIALOG.controls)
        if (c.message >= 0) d.setItemText(c.id, p.text(c.message));
    d.setItemText(kOkCommand, kChainOkText);
    chain.names.clear();
    refill(chain, d, -1);
    enableButtons(chain, d);
}

void add(Program& p, ChainList& chain, Window& d) {
    const auto chosen = d.openFileDialog({p.text(kAddTitle),
                                          p.text(kScriptFilter),
                                          p.chainDirectory.empty() ? p.script.directory : std::string(),
                                          {},
                                          true});
    if (!chosen) return;
    const std::string& path = *chosen;
    if (!fileExists(path)) return error(p, d, path + "\r" + p.text(kInvalidFile));
    // Links name their scripts relative to the chain's folder, so every script must be there.
    if (!p.chainDirectory.empty() && !sameFolder(directoryOf(path), p.chainDirectory))
        return error(p, d, p.text(kOtherFolder));
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".txt") != 0)
        return error(p, d, path + "\r" + p.text(kInvalidFile));
    const std::string name = stemOf(path);
    if (std::any_of(chain.names.begin(), chain.names.end(),
                    [&](const std::string& n) { return equalsIgnoringCase(n, name); }))
        return error(p, d, name + p.text(kAlreadyInList));
    const std::string base = path.substr(0, path.size() - 4);
    if (fileExists(base + ".next") || fileExists(base + ".prev"))
        if (d.messageBox(p.text(kAlreadyChained), p.text(kWarning), BoxIcon::Question, BoxButtons::YesNo) !=
            BoxAnswer::Yes)
            return;
    if (p.chainDirectory.empty()) p.chainDirectory = directoryOf(path);
    chain.names.push_back(name);
    d.listAdd(kChainList, name);
    d.listSelectIndex(kChainList, static_cast<int>(chain.names.size()) - 1);
    enableButtons(chain, d);
}

void remove(ChainList& chain, Window& d) {
    const int selected = d.listSelection(kChainList);
    if (selected < 0 || selected >= static_cast<int>(chain.names.size())) return;
    chain.names.erase(chain.names.begin() + selected);
    refill(chain, d, -1);
    enableButtons(chain, d);
}

void move(ChainList& chain, Window& d, int step) {
    const int selected = d.listSelection(kChainList);
    const int target = selected + step;
    if (selected < 0 || target < 0 || target >= static_cast<int>(chain.names.size())) return;
    std::swap(chain.names[selected], chain.names[target]);
    refill(chain, d, target);
}

// Each name's ".prev", then its ".next"; an end of an open chain loses the link it may have had.
bool writeLinks(const Program& p, const ChainList& chain, bool ring) {
    const std::vector<std::string>& n = chain.names;
    const std::size_t last = n.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        const std::string base = p.chainDirectory + n[i];
        const std::pair<const char*, bool> links[] = {{".prev", i > 0 || ring}, {".next", i < last || ring}};
        for (const auto& [extension, linked] : links) {
            const std::string file = base + extension;
            if (!linked) {
                removeFile(file);
                continue;
            }
            const std::string& other =
                extension[1] == 'p' ? n[i > 0 ? i - 1 : last] : n[i < last ? i + 1 : 0];
            if (!writeFileAtomically(file, other + ".txt")) return false;
        }
    }
    return true;
}

void accept(const Program& p, ChainList& chain, Window& d) {
    // A disabled OK cannot be pressed, whatever sends the command.
    if (!d.isItemEnabled(kOkCommand) || chain.names.size() < 2) return;
    if (!writeLinks(p, chain, d.isItemChecked(kCloseChainCheck))) error(p, d, p.text(kCannotChain));
    d.endDialog(kOkCommand);
}

void cancel(ChainList& chain, Window& d) {
    chain.names.clear();
    d.endDialog(kCancelCommand);
}

} // namespace

void scriptChainProcedure(Program& p, ChainList& chain, Window& d, const DialogMessage& m) {
    switch (m.kind) {
    case MessageKind::Init:
        initialise(p, chain, d);
        break;
    case MessageKind::Command:
        switch (m.id) {
        case kAddButton:
            add(p, chain, d);
            break;
        case kRemoveButton:
            remove(chain, d);
            break;
        case kMoveUpButton:
            move(chain, d, -1);
            break;
        case kMoveDownButton:
            move(chain, d, 1);
            break;
        case kOkCommand:
            accept(p, chain, d);
            break;
        case kCancelCommand:
            cancel(chain, d);
            break;
        default:
            break;
        }
        break;
    case MessageKind::Close:
        cancel(chain, d);
        break;
    default:
        break;
    }
}

} // namespace orvex

#include "script/script_chain_dialog.h"

#include "platform/ascii_case.h"
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

void error(const ChainList& chain, Window& d, const std::string& text) {
    d.messageBox(text, chain.text(kError), BoxIcon::Error, BoxButtons::Ok);
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

void initialise(ChainList& chain, Window& d) {
    d.setTitle(chain.text(kTitle));
    for (const ControlTemplate& c : SCRIPT_CHAIN_DIALOG.controls)
        if (c.message >= 0) d.setItemText(c.id, chain.text(c.message));
    d.setItemText(kOkCommand, kChainOkText);
    chain.names.clear();
    refill(chain, d, -1);
    enableButtons(chain, d);
}

void add(ChainList& chain, Window& d) {
    const auto chosen = d.openFileDialog({chain.text(kAddTitle),
                                          chain.text(kScriptFilter),
                                          chain.directory.empty() ? chain.scriptDirectory : std::string(),
                                          {},
                                          true});
    if (!chosen) return;
    const std::string& path = *chosen;
    if (!fileExists(path)) return error(chain, d, path + "\r" + chain.text(kInvalidFile));
    // Links name their scripts relative to the chain's folder, so every script must be there.
    if (!chain.directory.empty() && !sameFile(directoryOf(path), chain.directory))
        return error(chain, d, chain.text(kOtherFolder));
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".txt") != 0)
        return error(chain, d, path + "\r" + chain.text(kInvalidFile));
    const std::string name = stemOf(path);
    if (std::any_of(chain.names.begin(), chain.names.end(),
                    [&](const std::string& n) { return equalsIgnoringCase(n, name); }))
        return error(chain, d, name + chain.text(kAlreadyInList));
    const std::string base = path.substr(0, path.size() - 4);
    if (fileExists(base + ".next") || fileExists(base + ".prev"))
        if (d.messageBox(chain.text(kAlreadyChained), chain.text(kWarning), BoxIcon::Question,
                         BoxButtons::YesNo) != BoxAnswer::Yes)
            return;
    if (chain.directory.empty()) chain.directory = directoryOf(path);
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
bool writeLinks(const ChainList& chain, bool ring) {
    const std::vector<std::string>& n = chain.names;
    const std::size_t last = n.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
        const std::string base = chain.directory + n[i];
        const std::pair<const char*, bool> links[] = {{".prev", i > 0 || ring}, {".next", i < last || ring}};
        for (const auto& [extension, linked] : links) {
            const std::string file = base + extension;
            if (!linked) {
                // One left there (immutable, another user's in a shared folder) would still lead Next script
                // out of the chain.
                if (!removeFile(file) && (fileExists(file) || isDirectory(file))) return false;
                continue;
            }
            const std::string& other =
                extension[1] == 'p' ? n[i > 0 ? i - 1 : last] : n[i < last ? i + 1 : 0];
            if (!writeFileAtomically(file, other + ".txt")) return false;
        }
    }
    return true;
}

void accept(ChainList& chain, Window& d) {
    // A disabled OK cannot be pressed, whatever sends the command.
    if (!d.isItemEnabled(kOkCommand) || chain.names.size() < 2) return;
    if (!writeLinks(chain, d.isItemChecked(kCloseChainCheck))) error(chain, d, chain.text(kCannotChain));
    d.endDialog(kOkCommand);
}

void cancel(ChainList& chain, Window& d) {
    chain.names.clear();
    d.endDialog(kCancelCommand);
}

} // namespace

void scriptChainProcedure(ChainList& chain, Window& d, const DialogMessage& m) {
    switch (m.kind) {
    case MessageKind::Init:
        initialise(chain, d);
        break;
    case MessageKind::Command:
        switch (m.id) {
        case kAddButton:
            add(chain, d);
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
            accept(chain, d);
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

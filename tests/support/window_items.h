#pragma once
// Several items of a window read at once, so that a test states a window's state in one expectation and a
// failure shows all of it.
#include "platform/window.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace orvex::test {

inline std::vector<bool> enabledItems(const Window& w, std::initializer_list<int> ids) {
    std::vector<bool> result;
    for (const int id : ids) result.push_back(w.isItemEnabled(id));
    return result;
}

inline std::vector<bool> enabledEntries(const Window& w, std::initializer_list<int> ids) {
    std::vector<bool> result;
    for (const int id : ids) result.push_back(w.isMenuEntryEnabled(id));
    return result;
}

inline std::vector<std::string> itemTexts(const Window& w, std::initializer_list<int> ids) {
    std::vector<std::string> result;
    for (const int id : ids) result.push_back(w.itemText(id));
    return result;
}

// The text of the list's selected entry.
inline std::string chosenText(const Window& w, int list) {
    return w.listText(list, w.listSelection(list));
}

} // namespace orvex::test

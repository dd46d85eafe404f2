#include "platform/desktop_entry.h"

#include <optional>

namespace orvex {
namespace {

// Splits at blanks; double quotes group, and inside them a backslash escapes the next character.
std::optional<std::vector<std::string>> words(const std::string& exec) {
    std::vector<std::string> result;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"')
                quoted = false;
            else if (c == '\\' && i + 1 < exec.size())
                word += exec[++i];
            else
                word += c;
        } else if (c == ' ' || c == '\t') {
            if (inWord) result.push_back(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            if (c == '"')
                quoted = true;
            else
                word += c;
        }
    }
    if (quoted) return std::nullopt;
    if (inWord) result.push_back(word);
    return result;
}

} // namespace

std::vector<std::string> execArguments(const std::string& exec, const std::vector<std::string>& files) {
    const auto split = words(exec);
    if (!split || split->empty()) return {};
    std::vector<std::string> result;
    bool filesPlaced = false;
    for (const std::string& w : *split) {
        if (w == "%f" || w == "%u" || w == "%F" || w == "%U") {
            const bool all = w == "%F" || w == "%U";
            for (std::size_t i = 0; i < files.size() && (all || i == 0); ++i) result.push_back(files[i]);
            filesPlaced = true;
            continue;
        }
        std::string expanded;
        for (std::size_t i = 0; i < w.size(); ++i) {
            if (w[i] != '%' || i + 1 >= w.size()) {
                expanded += w[i];
            } else if (w[++i] == '%') {
                expanded += '%';
            }
        }
        if (!expanded.empty()) result.push_back(expanded);
    }
    if (!filesPlaced) result.insert(result.end(), files.begin(), files.end());
    return result;
}

} // namespace orvex

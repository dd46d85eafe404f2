#include "script/script_chain.h"

#include "core/catalogue.h"
#include "platform/files.h"
#include "script/line_reader.h"

#include <fstream>

namespace orvex {
namespace {

constexpr int kLinkLimit = 260;

} // namespace

std::optional<std::string> linkedScript(const Script& script, int language, Window& w,
                                        const char* extension) {
    const std::string& path = script.path;
    // Only a lower-case ".txt" names its link files; others quietly have no chain.
    if (path.size() < 4 || path.compare(path.size() - 4, 4, ".txt") != 0) return std::nullopt;
    const std::string link = path.substr(0, path.size() - 4) + extension;
    std::ifstream in;
    // As for a script: a FIFO or a device given as a link would hang the reader.
    if (fileExists(link)) in.open(link, std::ios::binary);
    std::string name;
    const int n = in.is_open() ? readLine(in, name, kLinkLimit) : -1;
    if (!in.is_open() || in.bad()) {
        w.messageBox(std::string(messageText(language, 57)) + " " + link, messageText(language, 54),
                     BoxIcon::Error, BoxButtons::Ok);
        return std::nullopt;
    }
    if (n <= 0) {
        w.messageBox(link + "\r" + messageText(language, 50), messageText(language, 54), BoxIcon::Error,
                     BoxButtons::Ok);
        return std::nullopt;
    }
    return script.directory + name;
}

bool scriptModifiedSinceLoad(const Script& script) {
    const auto now = lastWriteTime(script.path);
    return now && now != script.lastWrite;
}

} // namespace orvex

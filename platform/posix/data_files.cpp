#include "platform/data_files.h"

#include "platform/files.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace orvex {
namespace {

std::string withSeparator(const fs::path& folder) {
    std::string text = folder.lexically_normal().string();
    if (text.empty() || text.back() != fs::path::preferred_separator) text += fs::path::preferred_separator;
    return text;
}

} // namespace

std::vector<std::string> dataFolders() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec || program.empty()) return {};
    const fs::path bin = program.parent_path();
    // Relative to the program, so that any installation prefix (/usr, /usr/local, a staging folder) works.
    return {withSeparator(bin), withSeparator(bin.parent_path() / "share" / "orvex"),
            withSeparator(bin.parent_path() / "share" / "doc" / "orvex")};
}

std::string findFileIn(const std::vector<std::string>& folders, const std::string& name) {
    for (const std::string& folder : folders)
        if (!folder.empty() && fileExists(folder + name)) return folder + name;
    return {};
}

std::string findDataFile(const std::string& startupDirectory, const std::string& name) {
    std::vector<std::string> folders{startupDirectory};
    for (std::string& folder : dataFolders()) folders.push_back(std::move(folder));
    return findFileIn(folders, name);
}

} // namespace orvex

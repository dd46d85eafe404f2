#pragma once
// The outputs the documents show: a fenced block right after a comment that names the command, read so that
// tests can run the command and compare.
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace orvex::test {

struct ShownOutput {
    std::string where; // file:line of the comment
    std::string arguments;
    std::string output;
};

// The blocks of a document after each line matching `marker` (indentation aside, as in a list item), whose
// first group is the arguments.
std::vector<ShownOutput> shownOutputs(const std::filesystem::path& document, const std::regex& marker);

// The manuals, the manual pages and the other documents of the sources, with the README.
std::vector<std::filesystem::path> documentsOf(const std::filesystem::path& source);

} // namespace orvex::test

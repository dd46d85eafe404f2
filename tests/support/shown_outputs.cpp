#include "tests/support/shown_outputs.h"

#include <fstream>
#include <gtest/gtest.h>

namespace orvex::test {

namespace fs = std::filesystem;

std::vector<ShownOutput> shownOutputs(const fs::path& document, const std::regex& marker) {
    std::vector<std::string> lines;
    std::ifstream in(document);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const auto unindented = [&](std::size_t i) {
        const std::string& line = lines[i];
        return line.substr(std::min(line.find_first_not_of(' '), line.size()));
    };
    std::vector<ShownOutput> shown;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        const std::string line = unindented(i);
        if (!std::regex_match(line, m, marker)) continue;
        ShownOutput s{document.filename().string() + ":" + std::to_string(i + 1), m[1], {}};
        EXPECT_TRUE(i + 1 < lines.size() && unindented(i + 1).starts_with("```"))
            << s.where << ": no block follows";
        for (i += 2; i < lines.size() && !unindented(i).starts_with("```"); ++i)
            s.output += unindented(i) + "\n";
        shown.push_back(std::move(s));
    }
    return shown;
}

std::vector<fs::path> documentsOf(const fs::path& source) {
    std::vector<fs::path> documents = {source / "README.md"};
    for (const char* folder : {"docs", "docs/manual", "docs/man"})
        for (const auto& entry : fs::directory_iterator(source / folder))
            if (entry.path().extension() == ".md") documents.push_back(entry.path());
    return documents;
}

} // namespace orvex::test

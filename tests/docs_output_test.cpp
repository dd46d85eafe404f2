// Every output the documents show is the built program's. A fenced block right after a comment
// `<!-- output: orvex-cli ARGUMENTS -->` is what orvex-cli prints (standard output and error) for those
// arguments, run in a copy of examples/ without Orvex.ini.
#include "tests/support/cli_process.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

struct ShownOutput {
    std::string where; // file:line of the comment
    std::string arguments;
    std::string output;
};

std::vector<ShownOutput> shownOutputs(const fs::path& document) {
    static const std::regex marker(R"(^<!-- output: orvex-cli (.*) -->$)");
    std::vector<std::string> lines;
    std::ifstream in(document);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    std::vector<ShownOutput> shown;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_match(lines[i], m, marker)) continue;
        ShownOutput s{document.filename().string() + ":" + std::to_string(i + 1), m[1], {}};
        EXPECT_TRUE(i + 1 < lines.size() && lines[i + 1].starts_with("```"))
            << s.where << ": no block follows";
        for (i += 2; i < lines.size() && !lines[i].starts_with("```"); ++i) s.output += lines[i] + "\n";
        shown.push_back(std::move(s));
    }
    return shown;
}

TEST(Docs, EveryOutputShownIsWhatTheProgramPrints) {
    const fs::path source = ORVEX_SOURCE_DIR;
    std::vector<fs::path> documents = {source / "README.md"};
    for (const char* folder : {"docs", "docs/manual", "docs/man"})
        for (const auto& entry : fs::directory_iterator(source / folder))
            if (entry.path().extension() == ".md") documents.push_back(entry.path());
    int checked = 0;
    for (const fs::path& document : documents)
        for (const ShownOutput& s : shownOutputs(document)) {
            TempDir dir;
            fs::copy(ORVEX_EXAMPLES_DIR, dir.path());
            const CliResult r = runCli(s.arguments + " 2>&1", "cd '" + dir.path().string() + "' && LC_ALL=C");
            EXPECT_EQ(r.out, s.output) << s.where << ": orvex-cli " << s.arguments;
            ++checked;
        }
    // The manuals show a timeline each, in their own language, and the manual page of orvex-cli its check.
    EXPECT_GE(checked, 3);
}

// The printed manual sets its code blocks on one line each, never wrapped: a command broken in two, or cut
// off at the page's edge, would be copied wrong. A page holds this many characters of them, tabs expanded.
TEST(Docs, EveryLineOfTheManualsCodeFitsThePrintedPage) {
    constexpr std::size_t kPageWidth = 100;
    for (const char* manual : {"en.md", "fr.md"}) {
        std::ifstream in(fs::path(ORVEX_SOURCE_DIR) / "docs/manual" / manual);
        bool fenced = false;
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ++number;
            if (line.starts_with("```")) fenced = !fenced;
            if (!fenced && !line.starts_with("    ")) continue;
            std::size_t width = 0;
            for (const char c : line)
                if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) width = c == '\t' ? (width / 8 + 1) * 8 : width + 1;
            EXPECT_LE(width, kPageWidth) << manual << ":" << number;
        }
    }
}

} // namespace
} // namespace orvex::test

// Every output the documents show is the built program's. A fenced block right after a comment
// `<!-- output: orvex-cli ARGUMENTS -->` is what orvex-cli prints (standard output and error) for those
// arguments, run in a copy of examples/ without Orvex.ini.
#include "tests/support/cli_process.h"
#include "tests/support/shown_outputs.h"
#include "tests/support/test_program.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> manualLines(const char* manual) {
    std::ifstream in(fs::path(ORVEX_SOURCE_DIR) / "docs/manual" / manual);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(Docs, EveryOutputShownIsWhatTheProgramPrints) {
    static const std::regex marker(R"(^<!-- output: orvex-cli (.*) -->$)");
    int checked = 0;
    for (const fs::path& document : documentsOf(ORVEX_SOURCE_DIR))
        for (const ShownOutput& s : shownOutputs(document, marker)) {
            TempDir dir;
            fs::copy(ORVEX_EXAMPLES_DIR, dir.path());
            const CliResult r = runCli(s.arguments + " 2>&1", "cd '" + dir.path().string() + "' && LC_ALL=C");
            EXPECT_EQ(r.out, s.output) << s.where << ": orvex-cli " << s.arguments;
            ++checked;
        }
    // The manuals show a timeline each, in their own language, and the manual page of orvex-cli its check.
    EXPECT_GE(checked, 3);
}

// A PDF loses the tabs of its code blocks, so a script is copied from its file: each script a manual shows is
// a file of examples/, named in the few lines before its block, and holds exactly what the block shows.
TEST(Docs, EveryScriptAManualShowsIsAnExampleFileNamedBesideIt) {
    static const std::regex named(R"(`(?:examples/)?([a-z_]+\.txt)`)");
    const std::string header = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST";
    int scripts = 0;
    for (const char* manual : {"en.md", "fr.md"}) {
        const std::vector<std::string> lines = manualLines(manual);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t indent = lines[i].find_first_not_of(' ');
            if (indent == std::string::npos || lines[i].substr(indent) != header) continue;
            std::string block;
            std::size_t end = i;
            for (; end < lines.size() && lines[end].size() > indent &&
                   lines[end].find_first_not_of(' ') == indent;
                 ++end)
                block += lines[end].substr(indent) + '\n';
            if (end == i + 1) continue; // the header alone, to be typed
            ++scripts;
            std::string name;
            for (std::size_t k = i; k-- > 0 && k + 5 > i && name.empty();)
                for (auto m = std::sregex_iterator(lines[k].begin(), lines[k].end(), named);
                     m != std::sregex_iterator(); ++m)
                    name = (*m)[1];
            ASSERT_FALSE(name.empty())
                << manual << ":" << i + 1 << ": no example file named before the script";
            std::ifstream example(fs::path(ORVEX_EXAMPLES_DIR) / name, std::ios::binary);
            EXPECT_EQ(block, std::string(std::istreambuf_iterator<char>(example), {}))
                << manual << ":" << i + 1;
        }
    }
    // Both manuals show the first script and the examples of times of day and of the time-lapse.
    EXPECT_GE(scripts, 6);
}

// A heading's anchor as GitHub and pandoc make it: lower case (the accented capitals of French too), letters,
// digits, '-' and '_' kept, spaces made '-', the rest dropped.
std::string anchorOf(const std::string& heading) {
    std::string anchor;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const auto c = static_cast<unsigned char>(heading[i]);
        if (c == 0xC3 && i + 1 < heading.size()) {
            const auto next = static_cast<unsigned char>(heading[++i]);
            anchor += static_cast<char>(c);
            anchor += static_cast<char>(next >= 0x80 && next <= 0x9E && next != 0x97 ? next + 0x20 : next);
        } else if (c >= 0x80 || std::isalnum(c) || c == '-' || c == '_') {
            anchor += static_cast<char>(std::tolower(c));
        } else if (c == ' ') {
            anchor += '-';
        }
    }
    return anchor;
}

// The printed manual sets its code blocks on one line each, never wrapped: a command broken in two, or cut
// off at the page's edge, would be copied wrong. A line of the page (docs/print/manual.css: 174 mm of 7 pt
// DejaVu Sans Mono) holds this many characters of them, tabs expanded. The manuals are read as PDFs too
// (beside orvex-cli, where Help finds them), where a link to nowhere is a dead end and each heading is a
// bookmark.
TEST(Docs, EveryLineOfTheManualsCodeFitsThePrintedPageAndEveryLinkLeadsToABookmarkedHeading) {
    constexpr std::size_t kPageWidth = 116;
    static const std::regex heading(R"(^#+ (.*)$)");
    static const std::regex link(R"(\]\(#([^)]+)\))");
    const fs::path built = fs::path(ORVEX_CLI_PATH).parent_path();
    for (const auto& [manual, pdf] : {std::pair{"en.md", "Orvex_eng.pdf"}, {"fr.md", "Orvex_fr.pdf"}}) {
        bool fenced = false; // a fenced block's lines are no headings, whatever they start with
        int number = 0, headings = 0;
        std::set<std::string> anchors;
        std::vector<std::string> targets;
        for (const std::string& line : manualLines(manual)) {
            ++number;
            std::smatch m;
            if (std::regex_match(line, m, heading)) anchors.insert(anchorOf(m[1]));
            for (auto it = std::sregex_iterator(line.begin(), line.end(), link); it != std::sregex_iterator();
                 ++it)
                targets.push_back((*it)[1]);
            if (line.starts_with("```")) fenced = !fenced;
            headings += !fenced && line.starts_with("#");
            if (!fenced && !line.starts_with("    ")) continue;
            std::size_t width = 0;
            for (const char c : line)
                if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
                    width = c == '\t' ? (width / 8 + 1) * 8 : width + 1;
            EXPECT_LE(width, kPageWidth) << manual << ":" << number;
        }
        EXPECT_FALSE(targets.empty()) << manual;
        for (const std::string& target : targets)
            EXPECT_TRUE(anchors.contains(target)) << manual << ": #" << target;
        std::ifstream in(built / pdf, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        ASSERT_TRUE(bytes.starts_with("%PDF")) << pdf;
        int titles = 0;
        for (auto at = bytes.find("/Title"); at != std::string::npos; at = bytes.find("/Title", at + 1))
            ++titles;
        // The information dictionary holds the document's title; the title is no bookmark, the contents are.
        EXPECT_GE(titles - 1, headings) << pdf;
    }
}

} // namespace
} // namespace orvex::test

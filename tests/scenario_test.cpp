// Whole rehearsals kept as data in tests/scenarios/: NAME.txt is the script, NAME.ini (when there) the
// virtual body it runs on, NAME.args (when there) more options, NAME.wav (when there) what its Sound lines
// hear, and NAME.timeline what `orvex-cli simulate`
// prints for them, from a clock set to 2026-12-06 21:00:00. Its folder then holds exactly the pictures its
// timeline names (nothing half-downloaded, no thumbnail, nothing overwritten), its night log a row for each
// of them and for each release, and its exit code says whether it completed. NAME.nightlog (when there) holds
// the log's rows. A rehearsal that writes no file prints the same timeline: each picture is still made,
// smaller, with the facts its name is made of, RAW files and thumbnails included.
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/test_program.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

// The rows of the rehearsal's night log, without its comments; none when it made no log.
std::vector<std::vector<std::string>> nightLogRows(const fs::path& dir, std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::error_code ec;
    const auto logs = fs::directory_iterator(dir / "rehearsal", ec);
    const auto log =
        std::find_if(fs::begin(logs), fs::end(logs), [](const auto& e) { return isNightLog(e.path()); });
    if (ec || log == fs::end(logs)) return rows;
    std::ifstream in(log->path());
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("#")) continue;
        text += line + '\n';
        std::vector<std::string>& row = rows.emplace_back();
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) row.push_back(cell);
        row.resize(12);
    }
    return rows;
}

// What a log and a timeline both tell: the pictures stored, and the releases by line and pass.
using Account = std::pair<std::multiset<std::string>, std::set<std::string>>;

Account accountOfLog(const std::vector<std::vector<std::string>>& rows) {
    Account a;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][11] == "stored") a.first.insert(rows[i][9]);
        if (!rows[i][3].empty()) a.second.insert(rows[i][0] + ' ' + rows[i][1]);
    }
    return a;
}

// `named` receives the pictures' paths as the timeline names them.
Account accountOfTimeline(const std::string& timeline, std::set<std::string>& named) {
    Account a;
    std::istringstream lines(timeline);
    for (std::string line; std::getline(lines, line);) {
        if (const auto at = line.find("\tpicture\t"); at != std::string::npos) {
            named.insert(line.substr(at + 9));
            a.first.insert(line.substr(line.rfind('/') + 1));
        }
        if (const auto at = line.find("\trelease\t"); at != std::string::npos) {
            std::string place = line.substr(at + 9);
            place[place.find('\t')] = ' ';
            a.second.insert(place);
        }
    }
    return a;
}

std::set<std::string> picturesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().parent_path() != dir && !isNightLog(entry.path()))
            names.insert(fs::relative(entry.path(), dir).string());
    return names;
}

TEST(Scenarios, EachRehearsalPrintsItsTimeline) {
    int scenarios = 0;
    for (const auto& entry : fs::directory_iterator(ORVEX_SCENARIOS_DIR)) {
        const fs::path script = entry.path();
        if (script.extension() != ".txt") continue;
        ++scenarios;
        const auto beside = [&](const char* extension) {
            return fs::path(script).replace_extension(extension);
        };
        // Run from a folder of its own: a run makes its picture folder beside the script.
        TempDir dir;
        // Its pictures written as files, so that the folder can be held to what the timeline names.
        std::string arguments = "--clock=2026-12-06T21:00:00";
        if (fs::exists(beside(".ini")))
            arguments += " --camera=" + dir.write("body.ini", dir.read(beside(".ini")));
        if (fs::exists(beside(".wav")))
            arguments += " --sound=" + dir.write("sound.wav", dir.read(beside(".wav")));
        const std::string options = dir.read(beside(".args")); // empty when there is none
        arguments += " " + options.substr(0, options.find('\n'));
        arguments += " " + dir.write("night.txt", dir.read(script)) + " 2>&1";
        const std::string unwritten = runCli("simulate " + arguments).out;
        fs::remove_all(dir.path() / "rehearsal");
        const CliResult r = runCli("simulate --pictures " + arguments);
        EXPECT_EQ(r.out, dir.read(beside(".timeline"))) << script.filename();
        EXPECT_EQ(unwritten, r.out) << script.filename() << ": without --pictures";
        std::set<std::string> named;
        const Account fromTimeline = accountOfTimeline(r.out, named);
        EXPECT_EQ(picturesIn(dir.path()), named) << script.filename();
        std::string logText;
        const auto rows = nightLogRows(dir.path(), logText);
        if (!rows.empty()) {
            EXPECT_EQ(rows[0],
                      (std::vector<std::string>{"line", "pass", "planned", "released", "late_ms", "av", "tv",
                                                "iso", "quality", "file", "taken", "outcome"}))
                << script.filename();
        }
        EXPECT_EQ(accountOfLog(rows), fromTimeline) << script.filename() << '\n' << logText;
        if (fs::exists(beside(".nightlog"))) {
            EXPECT_EQ(logText, dir.read(beside(".nightlog"))) << script.filename();
        }
        EXPECT_EQ(r.exitCode, r.out.ends_with("\tend\t35\tCompleted\n") ? 0 : 1) << script.filename();
    }
    EXPECT_GT(scenarios, 0);
}

} // namespace
} // namespace orvex::test

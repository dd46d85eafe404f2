// orvex-cli against the emulated body, found by the library's own autodetection as a plugged-in one would be.
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/shown_outputs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>
#include <unistd.h>

namespace orvex::test {
namespace {

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (std::filesystem::exists(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (!isNightLog(entry.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each body with the number --connect takes: the serial number printed on it.
TEST(GphotoCli, CamerasListsTheBodiesFoundNumberedLikeTheCameraList) {
    TempDir home;
    for (const auto& [bodies, listed, said] : {std::tuple<std::string, std::string, std::string>{
                                                   std::string(k700D) + "," + k5DMarkIII,
                                                   "1\tCanon EOS 700D\tusb:001,001\t083021004217\n"
                                                   "2\tCanon EOS 5D Mark III\tusb:001,002\t028021001931\n",
                                                   ""},
                                               {"", "", "No camera found\n"}}) {
        const CliResult r = runCli("cameras", emulatedEnvironment(home, bodies));
        EXPECT_EQ(std::pair(r.exitCode, r.out), std::pair(0, listed));
        EXPECT_EQ(runCli("cameras 2>&1 >/dev/null", emulatedEnvironment(home, bodies)).out, said);
    }
    // Another Orvex holds the body: its id cannot be read, so the program does not say that no body has it.
    EXPECT_EQ(
        runCli("clock --connect=083021004217 2>&1 >/dev/null",
               "ORVEX_EMULATED_CLAIMED=1 " + emulatedEnvironment(home, k700D))
            .out,
        "orvex-cli: No camera that could be opened has the body id 083021004217 Cannot access this camera ! "
        "Camera already in use\n");
}

// The documents show what orvex-cli prints for a plugged-in body after a comment
// `<!-- output with the emulated 700D: orvex-cli ARGUMENTS -->`; the emulated 700D prints the same.
TEST(GphotoCli, EveryOutputShownForA700DIsWhatTheProgramPrints) {
    static const std::regex marker(R"(^<!-- output with the emulated 700D: orvex-cli (.*) -->$)");
    TempDir home;
    int checked = 0;
    for (const std::filesystem::path& document : documentsOf(ORVEX_SOURCE_DIR))
        for (const ShownOutput& s : shownOutputs(document, marker)) {
            EXPECT_EQ(runCli(s.arguments + " 2>&1", emulatedEnvironment(home, k700D)).out, s.output)
                << s.where << ": orvex-cli " << s.arguments;
            ++checked;
        }
    EXPECT_GE(checked, 2) << "both manuals list the body";
}

// Two nights started at one moment on two bodies, each asking for its own by its id (its clock first, or its
// run): the other's body, held by the first while it reads its id, is waited for, not given up.
TEST(GphotoCliRun, TwoRunsStartedTogetherEachTakeTheirOwnBody) {
    for (const std::string command : {"clock", "run"}) {
        SCOPED_TRACE(command);
        TempDir home;
        useEmulatedBodies(home, std::string(k700D) + "," + k5DMarkIII);
        const std::string script = home.write("night.txt", scriptText({"0\t8\t1\t250"}));
        const pid_t other =
            launchCli({"run", "--connect=028021001931", script}, (home.path() / "other.txt").string(),
                      {{"ORVEX_EMULATED_FAULTS", "slow-open=2000"}});
        for (int i = 0; i < 2500 && bodyLog(home).empty(); ++i) usleep(2000);
        ASSERT_EQ(bodyLog(home), std::vector<std::string>{"init Canon EOS 700D"});
        const CliResult r =
            runCli(command + " --connect=083021004217 " + (command == "run" ? script : "") + " 2>&1",
                   emulatedEnvironment(home, std::string(k700D) + "," + k5DMarkIII));
        EXPECT_EQ(r.out.find("No camera"), std::string::npos) << r.out;
        EXPECT_NE(r.exitCode, 1) << r.out;
        EXPECT_EQ(waitForCli(other), 0) << home.read("other.txt");
        EXPECT_EQ(filesIn(home.path() / "1 - Canon EOS 700D").size(), command == "run" ? 1u : 0u);
        EXPECT_EQ(filesIn(home.path() / "2 - Canon EOS 5D Mark III").size(), 1u);
    }
}

// A night of the script's lines on the emulated 700D, in real time, and what should come of it: each field
// of its block in nights/cli_run.txt (which says what they mean) with its values in order.
struct Night {
    int where = 0; // the block's first line in the file
    std::map<std::string, std::vector<std::string>> fields;
    std::vector<std::string> all(const std::string& key) const {
        return fields.contains(key) ? fields.at(key) : std::vector<std::string>{};
    }
    std::string one(const std::string& key, const std::string& otherwise = "") const {
        return fields.contains(key) ? fields.at(key).back() : otherwise;
    }
    int number(const std::string& key) const { return std::stoi(one(key, "0")); }
};

std::vector<Night> readNights(const std::string& file) {
    static const std::regex field(
        R"(^(faults|opts|raw|line|bodies|shell|exit|said|pics|end|told|never|release|cross|logged|folder)(?: (.*))?$)");
    std::vector<Night> nights;
    std::ifstream in(file);
    std::smatch m;
    bool within = false;
    int at = 1;
    for (std::string line; std::getline(in, line); ++at) {
        if (line.starts_with('#')) continue;
        if (!line.empty() && !within) nights.push_back({at, {}});
        if (!(within = !line.empty())) continue;
        // \t and \n stand for a tab and a line end.
        if (!std::regex_match(line, m, field))
            ADD_FAILURE() << file << ":" << at << ": " << line;
        else
            nights.back().fields[m.str(1)].push_back(std::regex_replace(
                std::regex_replace(m.str(2), std::regex(R"(\\t)"), "\t"), std::regex(R"(\\n)"), "\n"));
    }
    return nights;
}

TEST(GphotoCliRun, EachNightStoresWhatItShouldAndSaysWhatWentWrong) {
    const std::string file = ORVEX_SOURCE_DIR "/tests/gphoto2/nights/cli_run.txt";
    const std::string card = "/store_00020001/DCIM/100CANON/", first = "delete " + card + "IMG_0001.CR2";
    const std::string lost = "\tdownload-failed\t1\tIMG_0001.CR2\n";
    const std::string memory = "\tmessage\tWarning\tThe camera could not keep the pictures on its card";
    const std::vector<Night> nights = readNights(file);
    ASSERT_GE(nights.size(), 31u) << file;
    static const std::regex named(R"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_000\d\.(CR2|JPG))");
    for (const Night& c : nights) {
        TempDir home;
        const std::vector<std::string> said = c.all("said"), ends = c.all("end"), releases = c.all("release");
        const int raw = c.number("raw");
        const std::string script = home.write(
            "night.txt",
            scriptText(c.fields.contains("line") ? c.all("line")
                                                 : std::vector<std::string>{"0\t8\t1\t250", "2\t8\t1\t250"}));
        const std::string faults = c.one("faults") + (raw ? ",raw-mb=" + std::to_string(raw) : "");
        const CliResult r = runCli(
            "run " + c.one("opts") + " " + script + " 2>&1",
            std::regex_replace(c.one("shell"), std::regex("^refusing_kernel "), ORVEX_REFUSING_KERNEL " ") +
                " " + emulatedEnvironment(home, c.one("bodies", k700D), faults));
        const std::filesystem::path folder = home.path() / c.one("folder", "1 - Canon EOS 700D");
        const std::vector<std::string> pictures = filesIn(folder), body = bodyLog(home);
        SCOPED_TRACE(file + ":" + std::to_string(c.where) + ": " + faults + " " + c.one("opts") + "\n" +
                     r.out);
        EXPECT_EQ(r.exitCode, c.number("exit"));
        EXPECT_EQ(firstMissing(r.out, said), "");
        // The end's counts and the warning of pictures through memory come once, and only when expected.
        for (const std::string once : {"Pictures that could not be downloaded", memory.c_str()}) {
            const bool expected =
                std::ranges::any_of(said, [&](const auto& s) { return s.starts_with(once); });
            EXPECT_EQ(r.out.find(once) != std::string::npos, expected) << once;
            EXPECT_EQ(r.out.find(once), r.out.rfind(once)) << once;
        }
        std::vector<std::string> stored;
        for (const std::string& name : pictures) {
            EXPECT_TRUE(std::regex_match(name, named)) << name; // nothing half-written
            stored.push_back(name.substr(name.size() - 5));
            if (raw && name.ends_with(".CR2")) {
                EXPECT_EQ(std::filesystem::file_size(folder / name), raw * 1000000u) << name;
            }
        }
        std::ranges::sort(stored);
        EXPECT_EQ(pictures.size(), ends.empty() ? static_cast<std::size_t>(c.number("pics")) : ends.size());
        EXPECT_EQ(ends.empty() ? ends : stored, ends);
        EXPECT_THAT(body, ::testing::IsSupersetOf(c.all("told")));
        // The night log beside them: a stored row for each picture, and what came of the others.
        const std::string log = nightLogIn(folder);
        for (const std::string& name : pictures)
            EXPECT_NE(log.find('\t' + name + '\t'), std::string::npos) << log;
        EXPECT_EQ(firstMissing(log, c.all("logged")), "") << log;
        for (const std::string& start : c.all("never")) EXPECT_EQ(countStarting(body, start), 0) << start;
        // Nothing is left pressed, unless the body went: each press and bulb is let go in the end.
        if (countStarting(body, "unplugged") + countStarting(body, "shutdown") == 0) {
            const auto count = [&](const char* start) { return countStarting(body, start); };
            EXPECT_GE(count("set eosremoterelease Release") + count("set bulb 0") - count("refused let-go"),
                      count("set eosremoterelease Press") + count("set bulb 1"));
        }
        // A body left on a quality keeps it for lines without one.
        if (const auto at = faults.find("format="); at != std::string::npos) {
            const std::string quality =
                "set imageformat " + faults.substr(at + 7, faults.find('\'', at) - at - 7);
            for (const std::string& line : body)
                EXPECT_TRUE(!line.starts_with("set imageformat ") || line == quality) << line;
        }
        // The card keeps the only copy of a picture that could not come over.
        EXPECT_EQ(std::ranges::count(said, lost) ? countStarting(body, first) : 0, 0);
        if (!releases.empty()) {
            std::vector<std::string> shutter;
            std::ranges::copy_if(body, std::back_inserter(shutter), [](const std::string& line) {
                return line.starts_with("set viewfinder") || line.starts_with("set eosremoterelease") ||
                       line.starts_with("set bulb");
            });
            EXPECT_EQ(shutter, releases);
        }
        if (c.fields.contains("cross")) {
            const long lastPiece = indexOf(body, "read " + card + "IMG_0001.CR2 7864320");
            EXPECT_LT(lastPiece, static_cast<long>(body.size())) << "no piece at 7.5 MiB";
            EXPECT_LT(indexOf(body, "set eosremoterelease Press Full", 2), lastPiece)
                << "the release waited for the whole picture";
        }
    }
}

} // namespace
} // namespace orvex::test

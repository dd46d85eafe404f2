// orvex-cli against the emulated body, found by the library's own autodetection as a plugged-in one would be.
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/shown_outputs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <tuple>

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
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, listed);
        EXPECT_EQ(runCli("cameras 2>&1 >/dev/null", emulatedEnvironment(home, bodies)).out, said);
    }
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

// A night of the script's lines on the emulated 700D, in real time, and what should come of it.
struct Night {
    std::string faults = "", opts = ""; // the body's faults; the program's options
    int raw = 0;                        // the body's RAW files in MB, and so the size of each one stored
    std::vector<std::string> lines = {"0\t8\t1\t250", "2\t8\t1\t250"};
    std::string bodies = k700D, shell = ""; // the shell's commands before the program's
    int exit = 0;
    std::vector<std::string> said = {}; // in the output, in this order
    std::size_t pics = 0;               // the pictures stored, whole
    std::vector<std::string> ends = {}; // the stored pictures' numbers and extensions, when they matter
    std::vector<std::string> told = {}, never = {}; // lines the body logged; starts of lines it never did
    std::vector<std::string> releases = {}; // the body's shutter and live view output lines, when they matter
    bool cross = false; // the second release goes before the first picture's piece at 7.5 MiB
    std::vector<std::string> logged = {};      // in the night log, besides a stored row for each picture
    std::string folder = "1 - Canon EOS 700D"; // where the pictures are stored
};

TEST(GphotoCliRun, EachNightStoresWhatItShouldAndSaysWhatWentWrong) {
    const std::string card = "/store_00020001/DCIM/100CANON/", first = "delete " + card + "IMG_0001.CR2",
                      second = "delete " + card + "IMG_0002.CR2";
    const auto failed = [](const std::string& name) { return "\tdownload-failed\t1\t" + name + "\n"; };
    const std::string lost = failed("IMG_0001.CR2"), lost1 = "Pictures that could not be downloaded: 1";
    const std::string gone = "\tend\t219\tCamera switched off or unplugged\n", err = "Error (L3947)\t";
    const std::string memory = "\tmessage\tWarning\tThe camera could not keep the pictures on its card";
    const auto refused = [](const std::string& aperture) {
        return "The camera refuses the aperture F/" + aperture +
               " The property 'aperture' / 0xd101 was not set (0x201c: PTP Invalid Device Prop Value)";
    };
    const std::vector<std::string> rawJpg = {"1.CR2", "2.JPG", "3.CR2", "4.JPG"}, raws = {"1.CR2", "2.CR2"};
    const std::string vf1 = "set viewfinder 1", vf0 = "set viewfinder 0", toCard = "--savetocam";
    const std::string press = "set eosremoterelease Press Full",
                      release = "set eosremoterelease Release Full";
    const std::string move = "\tmove\t100\n", shot = "\tshot\t1\t2\t0\n", done = "\tstatus\t35\tCompleted";
    const std::string both = "'format=RAW + Large Fine JPEG'", two = std::string(k700D) + "," + k5DMarkIII;
    const std::string mark3 = "2 - Canon EOS 5D Mark III";
    const Night nights[] = {
        // Each picture named by its shooting time, RAW and JPEG numbered in turn, with the extensions the
        // body writes on its card; the script's values reach it; the pictures leave the card once stored.
        {.faults = "dual-slot",
         .lines = {"0\t8\t1\t250\t100\tR", "2\t8\t1\t500\t200\tR"},
         .said = {"\tend\t35\tCompleted\n"},
         .ends = rawJpg,
         .told = {"set shutterspeed 1/250", "set iso 100", "set aperture 8", "set shutterspeed 1/500", first,
                  "delete " + card + "IMG_0002.JPG"}},
        // A body left on RAW+JPEG, or on a quality without a name in the script's list, keeps it for lines
        // without a quality. The shell reads the environment: the label's blanks are quoted.
        {.faults = both, .ends = rawJpg},
        {.faults = "'format=Smaller JPEG'", .ends = {"1.JPG", "2.JPG"}},
        // A picture that cannot be read is counted and the run goes on. An empty file is no picture: never
        // stored, nor taken off the card.
        {.faults = "fail-download=1",
         .said = {lost, lost1},
         .pics = 1,
         .told = {second},
         .logged = {"\tcard:DCIM/100CANON/IMG_0001.CR2\t\ton card\n"}},
        {.faults = "no-card,fail-download=1",
         .said = {failed("capt0000.CR2"), lost1, memory},
         .pics = 1,
         .told = {"delete /capt0000.cr2"},
         .logged = {"\t\t\tlost\n"}},
        {.faults = "empty-file=1", .said = {lost, lost1}, .pics = 1, .told = {second}},
        // The computer's disk full (a limit on the size of the files it writes, past which a write fails once
        // the signal is ignored): the night goes on, every picture stays on the card and the end says where.
        {.raw = 2,
         .shell = "trap '' XFSZ; ulimit -f 1024; ",
         .said = {"Pictures that could not be downloaded: 2",
                  "Pictures that could not be stored stayed on the camera's card: 2 They are in its folder "
                  "DCIM/100CANON\n"},
         .never = {"delete /store"},
         .logged = {"\tcard:DCIM/100CANON/IMG_0001.CR2\t\ton card\n", "\tcard:DCIM/100CANON/IMG_0002.CR2\t"}},
        {.opts = toCard,
         .told = {"set capturetarget Memory card", "file " + card + "IMG_0002.CR2"},
         .logged = {"\tcard:DCIM/100CANON/IMG_0001.CR2\t\ton card\n", "\tcard:DCIM/100CANON/IMG_0002.CR2\t"}},
        // The mirror lock-up borrows the live view output for each shot and gives it back before the next.
        {.opts = "--lockup=1s", .pics = 2, .releases = {vf1, press, release, vf0, vf1, press, release, vf0}},
        // Live view frames come through the library; the Move line fires on the second frame of its wait.
        {.faults = "moving-preview", .lines = {"Move\t8\t1\t250"}, .said = {move, shot}, .pics = 1},
        {.faults = "soon-shutdown=1", .pics = 2}, // the auto power-off warning ends nothing
        // --connect takes the body by the number printed on it or its low 32 bits; not by one that shares
        // them.
        {.opts = "--connect=028021001931", .bodies = two, .pics = 2, .folder = mark3},
        {.opts = "--connect=2251198155", .bodies = two, .pics = 2, .folder = mark3},
        {.opts = "--connect=032315969227",
         .bodies = two,
         .exit = 1,
         .said = {"orvex-cli: No camera has the body id 032315969227\n"}},
        // The program's message when the body fails or goes, and nothing half-written in the picture folder.
        {.bodies = "", .exit = 1, .said = {"(No camera found)"}},
        {.faults = "busy", .exit = 1, .said = {err + "camera busy"}},
        // The body goes right after announcing the first picture, a full-frame RAW: it stays on the card, or,
        // brought over inside the announcement when there is no card, it is stored.
        {.faults = "shutdown=1", .raw = 30, .exit = 1, .said = {lost1, gone}},
        {.faults = "no-card,shutdown=1", .raw = 30, .exit = 1, .said = {memory, gone}, .pics = 1},
        // Unplugged at the second release, or while the library brought the first picture over.
        {.faults = "unplug=2", .exit = 1, .said = {err + "Communication disconnected", gone}, .pics = 1},
        {.faults = "unplug-in-download=1", .exit = 1, .said = {lost1, gone}},
        // Saving to the card, a full or locked one is known before the release, which the body would refuse
        // without a word.
        {.faults = "card-full", .opts = toCard, .exit = 1, .said = {err + "Memory card full !\n"}},
        {.faults = "card-read-only", .opts = toCard, .exit = 1, .said = {"Memory card write-protected !\n"}},
        // A value the lens lacks, and one the body turns down though it lists it.
        {.lines = {"0\t2.8\t1\t250"}, .exit = 1, .said = {"Error (L3672)\t" + refused("2.8")}},
        {.faults = "refuse=aperture:8", .exit = 1, .said = {refused("8")}},
        // Pictures come over from the card in four pieces; whatever ends one midway, it is counted as not
        // downloaded, and a body left without its card goes on through its memory, which the run tells.
        {.faults = "unplug-in-download=1", .raw = 2, .exit = 1, .said = {lost, lost1, gone}},
        {.faults = "shutdown-in-read=1", .raw = 2, .exit = 1, .said = {lost, lost1, gone}},
        // The second release, refused for the missing card, is taken again through the body's memory.
        {.faults = "card-removed-in-read=1", .raw = 2, .said = {lost, lost1, memory}, .pics = 1},
        {.faults = "fail-download=1", .raw = 2, .said = {lost, lost1}, .pics = 1},
        {.faults = "no-card", .raw = 2, .said = {"_0002.CR2\n", memory}, .pics = 2},
        // Saved to the computer, the run goes on to its next line while the last picture still comes over:
        // the second release of a pair does not wait for the first picture (a second's crossing against a
        // release due 0.2 s after the first; the hard figure is the benchmark's). "Completed" means every
        // picture is stored; a RAW+JPEG shot is complete once both its files are announced.
        {.faults = "link-mbps=8", .raw = 8, .said = {"2.CR2\n", done}, .ends = raws, .cross = true},
        {.faults = "link-mbps=8," + both, .raw = 8, .said = {"4.JPG\n", done}, .ends = rawJpg, .cross = true},
    };
    static const std::regex named(R"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_000\d\.(CR2|JPG))");
    for (const Night& c : nights) {
        TempDir home;
        const std::string script = home.write("night.txt", scriptText(c.lines));
        const std::string faults = c.faults + (c.raw ? ",raw-mb=" + std::to_string(c.raw) : "");
        const CliResult r = runCli("run " + c.opts + " " + script + " 2>&1",
                                   c.shell + emulatedEnvironment(home, c.bodies, faults));
        const std::filesystem::path folder = home.path() / c.folder;
        const std::vector<std::string> pictures = filesIn(folder), body = bodyLog(home);
        SCOPED_TRACE(faults + " " + c.opts + " " + c.lines[0] + "\n" + r.out);
        EXPECT_EQ(r.exitCode, c.exit);
        EXPECT_EQ(firstMissing(r.out, c.said), "");
        // The end's counts and the warning of pictures through memory come once, and only when expected.
        for (const std::string once : {"Pictures that could not be downloaded", memory.c_str()}) {
            const bool expected =
                std::ranges::any_of(c.said, [&](const auto& s) { return s.starts_with(once); });
            EXPECT_EQ(r.out.find(once) != std::string::npos, expected) << once;
            EXPECT_EQ(r.out.find(once), r.out.rfind(once)) << once;
        }
        std::vector<std::string> ends;
        for (const std::string& name : pictures) {
            EXPECT_TRUE(std::regex_match(name, named)) << name; // nothing half-written
            ends.push_back(name.substr(name.size() - 5));
            if (c.raw && name.ends_with(".CR2")) {
                EXPECT_EQ(std::filesystem::file_size(folder / name), c.raw * 1000000u) << name;
            }
        }
        std::sort(ends.begin(), ends.end());
        EXPECT_EQ(pictures.size(), c.ends.empty() ? c.pics : c.ends.size());
        EXPECT_EQ(c.ends.empty() ? c.ends : ends, c.ends);
        EXPECT_THAT(body, ::testing::IsSupersetOf(c.told));
        // The night log beside them: a stored row for each picture, and what came of the others.
        std::string log;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            if (isNightLog(entry.path())) log = home.read(entry.path());
        for (const std::string& name : pictures)
            EXPECT_NE(log.find('\t' + name + '\t'), std::string::npos) << log;
        EXPECT_EQ(firstMissing(log, c.logged), "") << log;
        for (const std::string& start : c.never) EXPECT_EQ(countStarting(body, start), 0) << start;
        // A body left on a quality keeps it for lines without one.
        if (const auto at = c.faults.find("format="); at != std::string::npos) {
            const std::string quality =
                "set imageformat " + c.faults.substr(at + 7, c.faults.find('\'', at) - at - 7);
            for (const std::string& line : body)
                EXPECT_TRUE(!line.starts_with("set imageformat ") || line == quality) << line;
        }
        // The card keeps the only copy of a picture that could not come over.
        EXPECT_EQ(std::ranges::count(c.said, lost) ? countStarting(body, first) : 0, 0);
        if (!c.releases.empty()) {
            std::vector<std::string> releases;
            std::ranges::copy_if(body, std::back_inserter(releases), [](const std::string& line) {
                return line.starts_with("set viewfinder") || line.starts_with("set eosremoterelease");
            });
            EXPECT_EQ(releases, c.releases);
        }
        if (c.cross) {
            const long lastPiece = indexOf(body, "read " + card + "IMG_0001.CR2 7864320");
            EXPECT_LT(lastPiece, static_cast<long>(body.size())) << "no piece at 7.5 MiB";
            EXPECT_LT(indexOf(body, press, 2), lastPiece) << "the release waited for the whole picture";
        }
    }
}

} // namespace
} // namespace orvex::test

// orvex-cli against the emulated body, found by the library's own autodetection as a plugged-in one would be.
#include "tests/gphoto2/emulated_body.h"
#include "tests/support/cli_process.h"
#include "tests/support/shown_outputs.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>

namespace orvex::test {
namespace {

// Each body with the number --connect takes: the serial number printed on it.
TEST(GphotoCli, CamerasListsTheBodiesFoundNumberedLikeTheCameraList) {
    TempDir home;
    struct Case {
        std::string bodies, listed, said;
    };
    for (const Case& c : {Case{std::string(k700D) + "," + k5DMarkIII,
                               "1\tCanon EOS 700D\tusb:001,001\t083021004217\n"
                               "2\tCanon EOS 5D Mark III\tusb:001,002\t028021001931\n",
                               ""},
                          Case{"", "", "No camera found\n"}}) {
        const CliResult r = runCli("cameras", emulatedEnvironment(home, c.bodies));
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, c.listed);
        EXPECT_EQ(runCli("cameras 2>&1 >/dev/null", emulatedEnvironment(home, c.bodies)).out, c.said);
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
    // Both manuals list the body.
    EXPECT_GE(checked, 2);
}

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    if (std::filesystem::exists(folder))
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct BodyRun {
    CliResult result;
    std::vector<std::uintmax_t> sizes; // of the pictures, in their order
    std::vector<std::string> pictures;
    std::vector<std::string> body;
};

// Runs a script of short lines on the emulated body, in real time.
BodyRun runOnBody(const std::string& faults, const std::vector<std::string>& lines,
                  const std::string& options = "") {
    TempDir home;
    const std::string script = home.write("night.txt", scriptText(lines));
    BodyRun run;
    run.result = runCli("run " + options + " " + script + " 2>&1", emulatedEnvironment(home, k700D, faults));
    run.pictures = filesIn(home.path() / "1 - Canon EOS 700D");
    for (const std::string& name : run.pictures)
        run.sizes.push_back(std::filesystem::file_size(home.path() / "1 - Canon EOS 700D" / name));
    run.body = bodyLog(home);
    return run;
}

TEST(GphotoCliRun, DownloadsEachPictureNamedByItsShootingTimeRawAndJpegNumberedInTurn) {
    const BodyRun run = runOnBody("dual-slot", {"0\t8\t1\t250\t100\tR", "2\t8\t1\t500\t200\tR"});
    EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
    EXPECT_NE(run.result.out.find("\tend\t35\tCompleted\n"), std::string::npos) << run.result.out;
    ASSERT_EQ(run.pictures.size(), 4u) << run.result.out;
    // With the extensions the body writes on its card.
    const std::regex named(R"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_000(\d)\.(CR2|JPG))");
    const char* expected[] = {"1.CR2", "2.JPG", "3.CR2", "4.JPG"};
    std::vector<std::string> ends;
    for (const std::string& name : run.pictures) {
        EXPECT_TRUE(std::regex_match(name, named)) << name;
        ends.push_back(name.substr(name.size() - 5));
    }
    std::sort(ends.begin(), ends.end());
    EXPECT_THAT(ends, ::testing::ElementsAreArray(expected));
    // The script's values reached the body; the pictures came over from the card and left it once stored.
    const std::string card = "delete /store_00020001/DCIM/100CANON/";
    const std::vector<std::string> told = {"set shutterspeed 1/250", "set iso 100",
                                           "set aperture 8",         "set shutterspeed 1/500",
                                           card + "IMG_0001.CR2",    card + "IMG_0002.JPG"};
    EXPECT_THAT(run.body, ::testing::IsSupersetOf(told));
}

// A body left on RAW+JPEG, or on a quality without a name in the script's list, keeps it for lines without a
// quality: each exposure gives what the body records, a RAW and its JPEG numbered in turn.
TEST(GphotoCliRun, ALineWithoutQualityKeepsWhatTheBodyWasLeftOn) {
    const struct {
        std::string format;
        std::vector<std::string> ends;
    } cases[] = {{"RAW + Large Fine JPEG", {"1.CR2", "2.JPG", "3.CR2", "4.JPG"}},
                 {"Smaller JPEG", {"1.JPG", "2.JPG"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        // The shell reads the environment: the label's blanks are quoted.
        const BodyRun run = runOnBody("'format=" + c.format + "'", {"0\t8\t1\t250", "2\t8\t1\t250"});
        EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
        std::vector<std::string> ends;
        for (const std::string& name : run.pictures) ends.push_back(name.substr(name.size() - 5));
        std::sort(ends.begin(), ends.end());
        EXPECT_EQ(ends, c.ends) << run.result.out;
        // The body's quality is left as it was.
        for (const std::string& action : run.body) {
            if (action.rfind("set imageformat ", 0) == 0) {
                EXPECT_EQ(action, "set imageformat " + c.format);
            }
        }
    }
}

TEST(GphotoCliRun, ConnectTakesTheBodyByTheNumberPrintedOnItOrItsLow32Bits) {
    TempDir home;
    const std::string script = home.write("night.txt", scriptText({"0\t8\t1\t250"}));
    const std::string both = std::string(k700D) + "," + k5DMarkIII;
    // The 5D Mark III's serial number, 028021001931, and its low 32 bits; then a number that shares them.
    for (const char* wanted : {"028021001931", "2251198155"}) {
        std::filesystem::remove_all(home.path() / "2 - Canon EOS 5D Mark III");
        const CliResult r = runCli("run --connect=" + std::string(wanted) + " " + script + " 2>&1",
                                   emulatedEnvironment(home, both));
        EXPECT_EQ(r.exitCode, 0) << wanted << "\n" << r.out;
        EXPECT_EQ(filesIn(home.path() / "2 - Canon EOS 5D Mark III").size(), 1u) << wanted << "\n" << r.out;
    }
    const CliResult r =
        runCli("run --connect=032315969227 " + script + " 2>&1", emulatedEnvironment(home, both));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("orvex-cli: No camera has the body id 032315969227\n"), std::string::npos) << r.out;
}

TEST(GphotoCliRun, APictureThatCannotBeReadIsCountedAndTheRunGoesOn) {
    const struct {
        const char* faults;
        std::string lost, kept, let; // the picture told lost; what stays on the card; what is let go
    } cases[] = {
        // The card keeps the only copy of the picture that could not come over.
        {"fail-download=1", "IMG_0001.CR2", "delete /store_00020001/DCIM/100CANON/IMG_0001.CR2",
         "delete /store_00020001/DCIM/100CANON/IMG_0002.CR2"},
        {"no-card,fail-download=1", "capt0000.CR2", "", "delete /capt0000.cr2"},
        // An empty file is no picture: never stored, nor taken off the card.
        {"empty-file=1", "IMG_0001.CR2", "delete /store_00020001/DCIM/100CANON/IMG_0001.CR2",
         "delete /store_00020001/DCIM/100CANON/IMG_0002.CR2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        const BodyRun run = runOnBody(c.faults, {"0\t8\t1\t250", "2\t8\t1\t250"});
        EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
        EXPECT_NE(run.result.out.find("\tdownload-failed\t1\t" + c.lost + "\n"), std::string::npos)
            << run.result.out;
        EXPECT_NE(run.result.out.find("Pictures that could not be downloaded: 1"), std::string::npos);
        EXPECT_EQ(run.pictures.size(), 1u);
        EXPECT_THAT(run.body, ::testing::Contains(c.let));
        if (!c.kept.empty()) {
            EXPECT_THAT(run.body, ::testing::Not(::testing::Contains(c.kept)));
        }
    }
}

// The computer cannot store the pictures, its disk full (here a limit on the size of the files it writes,
// which fails a write as a full disk does): the night goes on, every picture stays on the card, and the end
// of the run says how many and where.
TEST(GphotoCliRun, PicturesTheComputerCannotStoreStayOnTheCardAndTheEndSaysWhere) {
    TempDir home;
    const std::string script = home.write("night.txt", scriptText({"0\t8\t1\t250", "2\t8\t1\t250"}));
    // Far below a 2 MB RAW file, in the shell's blocks; past it a write fails once the signal is ignored.
    const CliResult r = runCli("run " + script + " 2>&1", "trap '' XFSZ; ulimit -f 1024; " +
                                                              emulatedEnvironment(home, k700D, "raw-mb=2"));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("Pictures that could not be downloaded: 2"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Pictures that could not be stored stayed on the camera's card: 2 "
                         "They are in its folder DCIM/100CANON\n"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(filesIn(home.path() / "1 - Canon EOS 700D").empty());
    for (const std::string& line : bodyLog(home))
        EXPECT_EQ(line.rfind("delete /store", 0), std::string::npos);
}

TEST(GphotoCliRun, PicturesSavedToTheCardStayThere) {
    const BodyRun run = runOnBody("", {"0\t8\t1\t250", "2\t8\t1\t250"}, "--savetocam");
    EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
    EXPECT_TRUE(run.pictures.empty());
    EXPECT_THAT(run.body, ::testing::Contains("set capturetarget Memory card"));
    EXPECT_THAT(run.body, ::testing::Contains("file /store_00020001/DCIM/100CANON/IMG_0002.CR2"));
}

// The mirror lock-up borrows the live view output for each shot and gives it back before the next.
TEST(GphotoCliRun, AMirrorLockUpShotSwitchesTheLiveViewOutputBackAsItWas) {
    const BodyRun run = runOnBody("", {"0\t8\t1\t250", "2\t8\t1\t250"}, "--lockup=1s");
    EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
    std::vector<std::string> shutterAndOutput;
    for (const std::string& action : run.body)
        if (action.rfind("set viewfinder", 0) == 0 || action.rfind("set eosremoterelease", 0) == 0)
            shutterAndOutput.push_back(action);
    const std::vector<std::string> shot = {"set viewfinder 1", "set eosremoterelease Press Full",
                                           "set eosremoterelease Release Full", "set viewfinder 0"};
    std::vector<std::string> twice = shot;
    twice.insert(twice.end(), shot.begin(), shot.end());
    EXPECT_EQ(shutterAndOutput, twice);
}

// Live view frames come through the library; the Move line fires on the second frame of its wait.
TEST(GphotoCliRun, AMoveLineFiresWhenThePreviewChanges) {
    const BodyRun run = runOnBody("moving-preview", {"Move\t8\t1\t250"});
    EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
    const std::string& out = run.result.out;
    const auto move = out.find("\tmove\t100\n");
    ASSERT_NE(move, std::string::npos) << out;
    EXPECT_LT(move, out.find("\tshot\t1\t2\t0\n")) << out;
    EXPECT_EQ(run.pictures.size(), 1u);
}

TEST(GphotoCliRun, EndsWithTheProgramsMessageWhenTheBodyFailsOrGoes) {
    const std::string gone = "\tend\t219\tCamera switched off or unplugged\n";
    const std::string oneLost = "Pictures that could not be downloaded: 1";
    const std::string refused =
        "The property 'aperture' / 0xd101 was not set (0x201c: PTP Invalid Device Prop Value)";
    struct Case {
        std::string faults, bodies, aperture;
        std::vector<std::string> expected;
        std::size_t pictures;
        bool warned; // the end message counts a picture that could not be downloaded
        std::string options = "";
    };
    const Case cases[] = {
        {"", "", "8", {"(No camera found)"}, 0, false},
        {"busy", k700D, "8", {"Error (L3947)\tcamera busy"}, 0, false},
        // The body goes right after announcing the first picture, a full-frame RAW: it stays on the card, or,
        // brought over inside the announcement when there is no card, it is stored.
        {"shutdown=1,raw-mb=30", k700D, "8", {gone, oneLost}, 0, true},
        {"no-card,shutdown=1,raw-mb=30", k700D, "8", {gone}, 1, false},
        // Unplugged at the second release, or while the library brought the first picture over.
        {"unplug=2", k700D, "8", {"Error (L3947)\tCommunication disconnected", gone}, 1, false},
        {"unplug-in-download=1", k700D, "8", {gone, oneLost}, 0, true},
        // Saving to the card, a full or locked one is known before the release, which the body would refuse
        // without a word.
        {"card-full", k700D, "8", {"Error (L3947)\tMemory card full !\n"}, 0, false, "--savetocam"},
        {"card-read-only", k700D, "8", {"Memory card write-protected !\n"}, 0, false, "--savetocam"},
        // A value the lens lacks, and one the body turns down though it lists it.
        {"", k700D, "2.8", {"Error (L3672)\tThe camera refuses the aperture F/2.8 " + refused}, 0, false},
        {"refuse=aperture:8", k700D, "8", {"The camera refuses the aperture F/8 " + refused}, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults + " " + c.aperture);
        TempDir home;
        const std::string script =
            home.write("night.txt", scriptText({"0\t" + c.aperture + "\t1\t250", "2\t8\t1\t250"}));
        const CliResult r = runCli("run " + c.options + " " + script + " 2>&1",
                                   emulatedEnvironment(home, c.bodies, c.faults));
        EXPECT_EQ(r.exitCode, 1) << r.out;
        for (const std::string& expected : c.expected)
            EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find(oneLost) != std::string::npos, c.warned) << r.out;
        // Nothing half-written is left in the picture folder.
        const std::vector<std::string> stored = filesIn(home.path() / "1 - Canon EOS 700D");
        EXPECT_EQ(stored.size(), c.pictures) << r.out;
        for (const std::string& name : stored) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }
}

// Pictures come over from the card in pieces; whatever ends one midway, nothing half-written stays in the
// picture folder, the picture is counted as not downloaded, and a body left without its card goes on
// through its memory, which the run tells once at its end.
TEST(GphotoCliRun, APictureCutOffMidwayIsCountedLostAndNothingHalfWrittenStays) {
    const std::string gone = "\tend\t219\tCamera switched off or unplugged\n";
    const std::string lost = "\tdownload-failed\t1\tIMG_0001.CR2\n";
    const std::string oneLost = "Pictures that could not be downloaded: 1";
    const std::string throughMemory =
        "\tmessage\tWarning\tThe camera could not keep the pictures on its card";
    const std::string firstOnCard = "delete /store_00020001/DCIM/100CANON/IMG_0001.CR2";
    const struct {
        std::string faults;
        int exitCode;
        std::vector<std::string> said;
        std::size_t pictures;
        bool toldThroughMemory;
    } cases[] = {
        {"unplug-in-download=1", 1, {lost, gone, oneLost}, 0, false},
        {"shutdown-in-read=1", 1, {lost, gone, oneLost}, 0, false},
        // The second release, refused for the missing card, is taken again through the body's memory.
        {"card-removed-in-read=1", 0, {lost, oneLost}, 1, true},
        {"fail-download=1", 0, {lost, oneLost}, 1, false},
        {"no-card", 0, {"_0002.CR2\n"}, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        // Four pieces to each picture.
        const BodyRun run = runOnBody(c.faults + ",raw-mb=2", {"0\t8\t1\t250", "2\t8\t1\t250"});
        const std::string& out = run.result.out;
        EXPECT_EQ(run.result.exitCode, c.exitCode) << out;
        for (const std::string& said : c.said) EXPECT_NE(out.find(said), std::string::npos) << out;
        const auto told = out.find(throughMemory);
        EXPECT_EQ(told != std::string::npos, c.toldThroughMemory) << out;
        EXPECT_EQ(out.rfind(throughMemory), told) << out; // once
        EXPECT_EQ(run.pictures.size(), c.pictures) << out;
        // Each whole: the body pads its RAW files to 2 MB.
        for (std::size_t i = 0; i < run.pictures.size(); ++i) {
            EXPECT_EQ(run.pictures[i].find(".part"), std::string::npos) << run.pictures[i];
            EXPECT_EQ(run.sizes[i], 2000000u) << run.pictures[i];
        }
        // The card keeps a picture that could not come over.
        EXPECT_THAT(run.body, ::testing::Not(::testing::Contains(firstOnCard)));
    }
}

// Saved to the computer, the run goes on to its next line while the last picture still comes over from the
// card: the second release of a pair goes before the first picture's last piece rather than after it, and
// each picture still arrives whole, under its own shot's number. The run's last line waits for its picture:
// "Completed" means every picture is stored. The hard figure (within 50 ms, at 24 MB over
// 30 MB/s) is the benchmark's; here only the order, which holds however slow the machine: a second's
// crossing against a release due 0.2 s after the first.
// A RAW+JPEG shot is complete once both its files are announced, not once both have come over.
TEST(GphotoCliRun, APairsSecondReleaseDoesNotWaitForTheFirstPictureToComeOver) {
    const struct {
        std::string faults;
        std::vector<std::string> ends;
    } cases[] = {
        {"raw-mb=8,link-mbps=8", {"1.CR2", "2.CR2"}},
        {"raw-mb=8,link-mbps=8,'format=RAW + Large Fine JPEG'", {"1.CR2", "2.JPG", "3.CR2", "4.JPG"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.faults);
        const BodyRun run = runOnBody(c.faults, {"0\t8\t1\t250", "2\t8\t1\t250"});
        EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
        const auto at = [&](auto matches) {
            return std::find_if(run.body.begin(), run.body.end(), matches) - run.body.begin();
        };
        const auto secondRelease = at([n = 0](const std::string& line) mutable {
            return line == "set eosremoterelease Press Full" && ++n == 2;
        });
        const std::string firstPicture = "read /store_00020001/DCIM/100CANON/IMG_0001.CR2 ";
        const auto lastPiece = at([&](const std::string& line) { return line == firstPicture + "7864320"; });
        ASSERT_LT(lastPiece, static_cast<long>(run.body.size())) << "no piece at 7.5 MiB";
        EXPECT_LT(secondRelease, lastPiece) << "the release waited for the whole picture";
        std::vector<std::string> ends;
        for (std::size_t i = 0; i < run.pictures.size(); ++i) {
            ends.push_back(run.pictures[i].substr(run.pictures[i].size() - 5));
            if (ends.back().ends_with(".CR2")) {
                EXPECT_EQ(run.sizes[i], 8000000u) << run.pictures[i];
            }
        }
        std::sort(ends.begin(), ends.end());
        EXPECT_EQ(ends, c.ends) << run.result.out;
        const std::string& out = run.result.out;
        EXPECT_LT(out.find(c.ends.back() + "\n"), out.find("\tstatus\t35\tCompleted")) << out;
    }
}

TEST(GphotoCliRun, TheAutoPowerOffWarningDoesNotEndTheRun) {
    const BodyRun run = runOnBody("soon-shutdown=1", {"0\t8\t1\t250", "2\t8\t1\t250"});
    EXPECT_EQ(run.result.exitCode, 0) << run.result.out;
    EXPECT_EQ(run.pictures.size(), 2u) << run.result.out;
}

} // namespace
} // namespace orvex::test

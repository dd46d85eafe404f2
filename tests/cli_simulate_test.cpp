// orvex-cli simulate as a user runs it: the timeline of a whole run on the virtual clock.
#include "tests/support/cli_process.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>

namespace orvex::test {
namespace {

CliResult simulate(const std::string& arguments) {
    return runCli("simulate " + arguments + " 2>&1");
}

// The 300D, 10D and 350D pause before each release; a rehearsal on them ends like any other.
TEST(CliSimulate, BodiesThatPauseBeforeTheReleaseComplete) {
    TempDir dir;
    const std::string script = dir.write("s.txt", scriptText({"0\t\t1\t250", "20\t\t1\t250"}));
    const std::string body350D =
        dir.write("350d.ini", "[camera]\npreset=legacy-lockup\ndescription=Canon EOS 350D DIGITAL\n");
    for (const std::string& camera : {std::string("300d"), std::string("10d"), body350D}) {
        const CliResult r = simulate("--clock=2026-12-06T21:00:00 --camera=" + camera + " " + script);
        EXPECT_EQ(r.exitCode, 0) << camera;
        EXPECT_TRUE(r.out.starts_with("0\tshot\t1\t2\t0\n150\tstatus\t30\tCapture\n")) << r.out;
        EXPECT_NE(r.out.find("2000\tshot\t2\t3\t0\n"), std::string::npos) << r.out;
        EXPECT_TRUE(r.out.ends_with("\tend\t35\tCompleted\n")) << r.out;
    }
}

// A night that falls behind and catches up, and loses a picture on the way, says so as it happens.
TEST(CliSimulate, LatenessAndFailedDownloadsAreOnTheTimeline) {
    TempDir dir;
    const std::string script = dir.write("s.txt", scriptText({"0\t\t8\t1", "50\t\t1\t250", "50\t\t1\t250"}));
    const std::string camera = dir.write("body.ini", "[camera]\npreset=bulb\nfailDownloadAt=2\n");
    const CliResult r = simulate("--clock=2026-12-06T21:00:00 --camera=" + camera + " " + script);
    EXPECT_EQ(r.exitCode, 0);
    // These events in this order, whatever comes between them: how long a download takes on the
    // rehearsal's clock is not fixed.
    std::size_t at = 0;
    for (const char* event :
         {"\tlate\t1\n", "\tdownload-failed\t2\tIMG_0002.JPG\n", "\n10000\tlate\t0\n",
          "\tmessage\tWarning\tPictures that could not be downloaded: 1\n", "\tend\t35\tCompleted\n"}) {
        at = r.out.find(event, at);
        ASSERT_NE(at, std::string::npos) << event << r.out;
    }
}

// The last shot's JPEG coming after the run ended is still downloaded and filed with its RAW.
TEST(CliSimulate, AJpegLaterThanTheRunsEndIsKept) {
    TempDir dir;
    const std::string script = dir.write("s.txt", scriptText({"0\t\t1\t250", "20\t\t1\t250"}));
    const std::string camera = dir.write("body.ini", "[camera]\npicturesPerShot=2\nfileGapMs=1500\n");
    const CliResult r = simulate("--clock=2026-12-06T21:00:00 --camera=" + camera + " " + script);
    EXPECT_EQ(r.exitCode, 0);
    std::size_t at = 0;
    for (const char* event :
         {"_21-00-00_0001.CR2\n", "_21-00-00_0002.JPG\n", "_21-00-02_0003.CR2\n", "\tstatus\t35\tCompleted\n",
          "_21-00-02_0004.JPG\n", "\tend\t35\tCompleted\n"}) {
        at = r.out.find(event, at);
        ASSERT_NE(at, std::string::npos) << event << r.out;
    }
}

TEST(CliSimulate, UntilStopsARunThatGoesOn) {
    TempDir dir;
    const std::string script = dir.write("s.txt", scriptText({"Loop", "600"}));
    const CliResult r = simulate("--until=2m " + script);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("120000\tshot\t3\t3\t2\n"), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.ends_with("120000\tend\t-\tuntil\n")) << r.out;
}

TEST(CliSimulate, RefusedScriptShowsItsMessage) {
    TempDir dir;
    const CliResult r = simulate("--lang=fr " + dir.write("s.txt", scriptText({"-1"})));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "0\tmessage\tErreur\tDélai invalide à la ligne 2 !\n0\tend\t69\t\n");
}

TEST(CliSimulate, RefusedOptionsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"simulate y.txt", "unexpected argument: x.txt"},
        {"simulate --clock=yesterday", "--clock"},
        {"simulate --lockup=2", "--lockup"},
        {"simulate --until=soon", "--until"},
        {"simulate --utc-offset=1", "--utc-offset"},
        {"simulate --bogus", "--bogus"},
        {"simulate --loop=abc", "--loop"},
        {"simulate --loop=0", "--loop"},
        {"simulate --loop=5x", "--loop"},
        {"run --start=25:00", "--start"},
        {"run --start=7:30pm", "--start"},
        {"run --clock=2026-12-06T21:00:00", "--clock"},
        {"run --utc-offset=+01:00", "--utc-offset"},
        {"simulate --serialport", "--serialport"},
        {"simulate --prefix=../m42", "--prefix"},
        {"simulate --savetocam=no", "--savetocam"},
    };
    for (const auto& [args, option] : cases) {
        const CliResult r = runCli(std::string(args) + (*option ? " x.txt" : "") + " 2>&1");
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_EQ(r.out.rfind(std::string("orvex-cli: ") + option, 0), *option ? 0u : std::string::npos)
            << args << "\n"
            << r.out;
    }
}

} // namespace
} // namespace orvex::test

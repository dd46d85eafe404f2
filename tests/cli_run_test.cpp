// orvex-cli run: the same engine in real time, on a virtual body; Ctrl-C stops the run as the Stop button.
#include "platform/headless/virtual_clock.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/scoped_env.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace orvex::test {
namespace {

// The option of a body whose downloads take 60 ms of real time while the run goes on, its profile in the
// folder.
std::string fastBody(const TempDir& dir) {
    return "--camera=" + dir.write("fast.ini", "[camera]\npreset=bulb\nprocessingMs=20\ndownloadMBps=100\n");
}

// Starts `orvex-cli run` on the lines written at `script` in the folder, on the fast body; its output goes to
// out.txt of the folder.
pid_t launchRun(const TempDir& dir, const std::string& script, const std::vector<std::string>& lines,
                std::vector<std::string> options = {}) {
    options.insert(options.begin(), {"run", fastBody(dir)});
    options.push_back(dir.write(script, scriptText(lines)));
    return launchCli(options, (dir.path() / "out.txt").string());
}

// The run's output once it holds `text` after `from`, or after 5 s.
std::string awaited(const TempDir& dir, const std::string& text, std::size_t from = 0) {
    std::string out;
    for (int i = 0; i < 2500 && (out = dir.read("out.txt")).find(text, from) == std::string::npos; ++i)
        usleep(2000);
    return out;
}

// The run's output once its first picture is filed and it waits for the next line; the picture is told by the
// download thread, before or after the wait.
std::string awaitedFiledAndWaiting(const TempDir& dir) {
    const std::size_t released = awaited(dir, "\trelease\t").find("\trelease\t");
    awaited(dir, "\tpicture\t");
    return awaited(dir, "\tstatus\t197\t", released);
}

// Milliseconds since 1970 of a local time written with the given separators, as in "2026-12-07_00-30-15".
std::int64_t localMs(const std::string& text, const char* format) {
    CivilTime t;
    EXPECT_EQ(std::sscanf(text.c_str(), format, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second), 6)
        << text;
    return msFromCivil(t);
}

// A stopped process (a suspend or a loaded machine does the same) takes the shots it missed late; their names
// and EXIF times must say when the shutter opened, not when it should have. Ctrl-C then stops the run as the
// Stop button does. Option text in the script's path or in the prefix is only text.
TEST(CliRun, AStalledRunStampsThePictureWithTheRealMomentAndInterruptStopsItLikeTheStopButton) {
    TempDir dir;
    const std::string folder = "night-simulation -slave \"x", prefix = "m42-savetocam_";
    std::filesystem::create_directories(dir.path() / folder);
    const pid_t pid = launchRun(
        dir, folder + "/stall.txt",
        {line().delay(5).aperture("8").speed("1/250"), line().delay(600).aperture("8").speed("1/250")},
        {"--prefix=m42-savetocam"});
    awaited(dir, "\t");
    kill(pid, SIGSTOP);
    ASSERT_EQ(dir.read("out.txt").find("shot"), std::string::npos) << "the shot came before the stall";
    usleep(1600000);
    const std::time_t resumed = std::time(nullptr);
    kill(pid, SIGCONT);
    // Once the picture is filed and the run waits for the next line, press Ctrl-C.
    const std::size_t at = awaitedFiledAndWaiting(dir).find("\tpicture\t");
    ASSERT_NE(at, std::string::npos) << dir.read("out.txt");
    kill(pid, SIGINT);
    EXPECT_EQ(waitForCli(pid), 1);
    const std::string text = dir.read("out.txt");
    EXPECT_TRUE(text.find("\tmessage\tAbort capture\tConfirm ?\n") != std::string::npos &&
                text.find("\tend\t1\tAborted\n") != std::string::npos)
        << text;
    const std::filesystem::path picture =
        dir.path() / folder / text.substr(at + 9, text.find('\n', at) - at - 9);
    std::tm local{};
    localtime_r(&resumed, &local);
    const std::int64_t resumedMs = msFromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                local.tm_hour, local.tm_min, local.tm_sec, 0});
    const std::string name = picture.filename().string();
    ASSERT_TRUE(name.starts_with(prefix)) << picture;
    EXPECT_GE(localMs(name.substr(prefix.size()), "%d-%d-%d_%d-%d-%d"), resumedMs) << picture;
    // Its night log: the computer's clock as the kernel tells it, then the picture's stored row, timed.
    const std::string logText = nightLogIn(picture.parent_path());
    EXPECT_TRUE(std::regex_search(
        logText,
        std::regex(
            "\n# clock\t[^\t]+\t(synchronised\t(yes|no)\t|unknown)[\\s\\S]*\n2\t0\t20[^\t]+\t20[^\t]+\t"
            "[0-9]+[.][0-9]\t8\t1/250\t[^\t]*\t[^\t]*\t" +
            name + "\t20[^\t]+\tstored\n")))
        << logText;
    auto image = Exiv2::ImageFactory::open(picture.string());
    image->readMetadata();
    const auto taken = image->exifData().findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
    ASSERT_NE(taken, image->exifData().end());
    EXPECT_GE(localMs(taken->toString(), "%d:%d:%d %d:%d:%d"), resumedMs) << taken->toString();
}

// kill's SIGTERM and the terminal's SIGHUP as it closes stop a run as Ctrl-C does, the body let go and the
// night log ended; a hang-up the run was started ignoring (nohup) leaves it going, here to its --until, which
// comes during the next exposure and ends it as Stop does: its picture is stored all the same.
TEST(CliRun, TheSignalsThatEndAProgramStopTheRunAsCtrlCDoes) {
    const std::tuple<int, bool, const char*> cases[] = {{SIGTERM, false, "\tend\t1\tAborted\n"},
                                                        {SIGHUP, false, "\tend\t1\tAborted\n"},
                                                        {SIGHUP, true, "\tend\t-\tuntil\n"}};
    for (const auto& [signal, ignored, end] : cases) {
        SCOPED_TRACE(std::string(strsignal(signal)) + (ignored ? ", ignored" : ""));
        TempDir dir;
        const pid_t pid = [&dir, signal = signal, ignored = ignored] {
            const ScopedSignal handling(signal, ignored);
            return launchRun(dir, "night.txt", {line().delay(0).speed("1/250"), line().delay(10).speed("10")},
                             {"--until=2s"});
        }();
        awaitedFiledAndWaiting(dir);
        kill(pid, signal);
        EXPECT_EQ(waitForCli(pid), 1);
        const std::string out = dir.read("out.txt");
        EXPECT_NE(out.find(end), std::string::npos) << out;
        EXPECT_EQ(std::regex_search(out, std::regex("\tpicture\t[^\n]*\n(.*\n)*.*\tpicture\t")), ignored)
            << out;
    }
}

// A stop that came before the run could start (Ctrl-C as the body connected, a shutdown) presses no shutter:
// the run ends not started.
TEST(CliRun, AStopBeforeTheStartPressesNoShutter) {
    TempDir dir;
    const std::string camera = fastBody(dir), out = (dir.path() / "out.txt").string(),
                      script = dir.write("night.txt", scriptText({line().delay(0).speed("10")}));
    const pid_t pid = fork();
    if (pid == 0) {
        // Kept waiting across the exec, as a signal that comes while the program connects is.
        sigset_t term;
        sigemptyset(&term);
        sigaddset(&term, SIGTERM);
        sigprocmask(SIG_BLOCK, &term, nullptr);
        kill(getpid(), SIGTERM);
        setenv("LC_ALL", "C", 1);
        if (std::freopen(out.c_str(), "w", stdout))
            execl(ORVEX_CLI_PATH, ORVEX_CLI_PATH, "run", camera.c_str(), script.c_str(), nullptr);
        _exit(127);
    }
    EXPECT_EQ(waitForCli(pid), 1);
    const std::string text = dir.read("out.txt");
    EXPECT_TRUE(text.find("\trelease\t") == std::string::npos &&
                text.find("\tend\t69\tNot started\n") != std::string::npos)
        << text;
}

// Started with its standard streams closed (a job runner that closed them), the run's output goes nowhere,
// not into the first files it opens: its night log holds its own lines only.
TEST(CliRun, ClosedStandardStreamsLeaveTheNightLogItsOwn) {
    TempDir dir;
    const std::string script = dir.write("night.txt", scriptText({line().delay(0).speed("1/250")}));
    EXPECT_EQ(runCli("run " + fastBody(dir) + " " + script + " <&- >&- 2>&-").exitCode, 0);
    const std::string log = nightLogIn(dir.path() / "1 - Canon EOS 600D");
    EXPECT_TRUE(std::regex_search(log, std::regex("\tstored\n$"))) << log;
    EXPECT_FALSE(std::regex_search(log, std::regex("(^|\n)[0-9]+\t[a-z]"))) << log;
}

// The pictures stored in the run's folder so far.
std::size_t picturesStored(const TempDir& dir) {
    std::size_t pictures = 0;
    std::error_code missing;
    for (const auto& f : std::filesystem::directory_iterator(dir.path() / "1 - Canon EOS 600D", missing))
        pictures += f.path().extension() == ".JPG";
    return pictures;
}

// A reader of the output that goes (`| head -1`, a pipeline's Ctrl-C) leaves the run to go on to its end,
// where the program died of the next line it printed, whatever its body held.
TEST(CliRun, AReaderOfTheOutputThatGoesLeavesTheRunGoing) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir.path() / "out.txt").c_str(), 0600), 0);
    const pid_t pid =
        launchRun(dir, "night.txt", {line().delay(0).speed("1/250"), line().delay(5).speed("1/250")});
    std::string first;
    std::getline(std::ifstream(dir.path() / "out.txt"), first);
    EXPECT_EQ(waitForCli(pid), 0) << first;
    EXPECT_EQ(picturesStored(dir), 2u);
}

// Output nobody takes (a terminal paused with Ctrl-S, `| less` left on its first page) holds up no shot,
// where the run stopped once the pipe was full: every picture is stored with the output unread, and the
// reader then gets the whole timeline, in order.
TEST(CliRun, OutputNobodyReadsHoldsUpNoShot) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir.path() / "out.txt").c_str(), 0600), 0);
    const int reader = open((dir.path() / "out.txt").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // One page: a few shots' output fills it.
    ASSERT_GE(fcntl(reader, F_SETPIPE_SZ, 4096), 0);
    constexpr std::size_t kShots = 30;
    const pid_t pid =
        launchRun(dir, "night.txt", std::vector<std::string>(kShots, line().delay(0).speed("1/250")));
    for (int i = 0; i < 1000 && picturesStored(dir) < kShots; ++i) usleep(20000);
    EXPECT_EQ(picturesStored(dir), kShots);
    fcntl(reader, F_SETFL, 0);
    std::string out;
    char bytes[4096];
    for (ssize_t n; (n = read(reader, bytes, sizeof bytes)) > 0;)
        out.append(bytes, static_cast<std::size_t>(n));
    close(reader);
    EXPECT_EQ(waitForCli(pid), 0);
    std::istringstream lines(out);
    long last = 0;
    std::size_t shots = 0;
    for (std::string text; std::getline(lines, text); last = std::stol(text)) {
        EXPECT_GE(std::stol(text), last) << text;
        const auto shot = text.find("\tshot\t");
        if (shot == std::string::npos) continue;
        EXPECT_TRUE(text.substr(shot + 6).starts_with(std::to_string(++shots) + '\t')) << text;
    }
    EXPECT_EQ(shots, kShots) << out;
    EXPECT_TRUE(out.ends_with("\tend\t35\tCompleted\n")) << out;
}

} // namespace
} // namespace orvex::test

// orvex-cli run: the same engine in real time, on a virtual body; Ctrl-C stops the run as the Stop button.
#include "platform/headless/virtual_clock.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace orvex::test {
namespace {

std::string profile(const TempDir& dir) {
    // Each download takes 60 ms of real time while the run goes on.
    return dir.write("fast.ini", "[camera]\npreset=bulb\nprocessingMs=20\ndownloadMBps=100\n");
}

TEST(CliRun, RunsAShortScriptInRealTime) {
    // Option text in the script's path or in the prefix is only text.
    TempDir dir;
    const std::string folder = "night-simulation -slave \"x";
    std::filesystem::create_directories(dir.path() / folder);
    const std::string script =
        dir.write(folder + "/now.txt", scriptText({line().delay(0).aperture("8").speed("1/250"),
                                                   line().delay(2).aperture("8").speed("1/250")}));
    const std::string out = (dir.path() / "out.txt").string();
    EXPECT_EQ(
        waitForCli(launchCli({"run", "--camera=" + profile(dir), "--prefix=m42-savetocam", script}, out)), 0);
    const std::string text = dir.read(out);
    EXPECT_NE(text.find("\tshot\t2\t3\t0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tend\t35\tCompleted\n"), std::string::npos) << text;
    std::vector<std::string> pictures;
    std::filesystem::path log;
    for (const auto& f : std::filesystem::directory_iterator(dir.path() / folder / "1 - Canon EOS 600D"))
        if (isNightLog(f.path()))
            log = f.path();
        else
            pictures.push_back(f.path().filename().string());
    std::sort(pictures.begin(), pictures.end());
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_TRUE(pictures[0].starts_with("m42-savetocam_")) << pictures[0];
    // Its night log: the computer's clock as the kernel tells it, then a stored row for each picture, timed.
    const std::string logText = dir.read(log);
    EXPECT_TRUE(
        std::regex_search(logText, std::regex("\n# clock\t[^\t]+\t(synchronised\t(yes|no)\t|unknown)")))
        << logText;
    const std::regex row(
        "(2|3)\t0\t20[^\t]+\t20[^\t]+\t-?[0-9]+[.][0-9]\t8\t1/250\t[^\t]*\t[^\t]*\t([^\t]+)\t"
        "20[^\t]+\tstored");
    std::vector<std::string> logged;
    std::istringstream lines(logText);
    std::smatch m;
    for (std::string l; std::getline(lines, l);)
        if (std::regex_match(l, m, row)) logged.push_back(m[2]);
    EXPECT_EQ(logged, pictures) << logText;
}

TEST(CliRun, InterruptStopsTheRunLikeTheStopButton) {
    TempDir dir;
    const std::string script =
        dir.write("long.txt", scriptText({line().delay(0).aperture("8").speed("1/250"),
                                          line().delay(600).aperture("8").speed("1/250")}));
    const std::string out = (dir.path() / "out.txt").string();
    const pid_t pid = launchCli({"run", "--camera=" + profile(dir), script}, out);
    // Wait for the run to be under way, then press Ctrl-C.
    for (int i = 0; i < 500 && dir.read(out).find("status\t197") == std::string::npos; ++i) usleep(10000);
    kill(pid, SIGINT);
    EXPECT_EQ(waitForCli(pid), 1);
    const std::string text = dir.read(out);
    EXPECT_NE(text.find("\tmessage\tAbort capture\tConfirm ?\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\tend\t1\tAborted\n"), std::string::npos) << text;
}

// Milliseconds since 1970 of a local time written with the given separators, as in "2026-12-07_00-30-15".
std::int64_t localMs(const std::string& text, const char* format) {
    CivilTime t;
    EXPECT_EQ(std::sscanf(text.c_str(), format, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second), 6)
        << text;
    return msFromCivil(t);
}

TEST(CliRun, AStalledRunNamesAndStampsThePictureWithTheRealMoment) {
    // A stopped process (a suspend or a loaded machine does the same) takes the shots it missed late; their
    // names and EXIF times must say when the shutter opened, not when it should have.
    TempDir dir;
    const std::string script =
        dir.write("stall.txt", scriptText({line().delay(5).aperture("8").speed("1/250")}));
    const std::string out = (dir.path() / "out.txt").string();
    const pid_t pid = launchCli({"run", "--camera=" + profile(dir), script}, out);
    for (int i = 0; i < 2500 && dir.read(out).empty(); ++i) usleep(2000);
    kill(pid, SIGSTOP);
    ASSERT_EQ(dir.read(out).find("shot"), std::string::npos) << "the shot came before the stall";
    usleep(1600000);
    const std::time_t resumed = std::time(nullptr);
    kill(pid, SIGCONT);
    ASSERT_EQ(waitForCli(pid), 0) << dir.read(out);
    std::tm local{};
    localtime_r(&resumed, &local);
    const std::int64_t resumedMs = msFromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                                local.tm_hour, local.tm_min, local.tm_sec, 0});
    const auto picture = *std::find_if_not(
        std::filesystem::directory_iterator(dir.path() / "1 - Canon EOS 600D"),
        std::filesystem::directory_iterator(), [](const auto& entry) { return isNightLog(entry.path()); });
    EXPECT_GE(localMs(picture.path().filename().string(), "%d-%d-%d_%d-%d-%d"), resumedMs) << picture.path();
    auto image = Exiv2::ImageFactory::open(picture.path().string());
    image->readMetadata();
    const auto taken = image->exifData().findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
    ASSERT_NE(taken, image->exifData().end());
    EXPECT_GE(localMs(taken->toString(), "%d:%d:%d %d:%d:%d"), resumedMs) << taken->toString();
}

} // namespace
} // namespace orvex::test

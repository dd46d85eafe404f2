// Two orvex-cli runs on one computer, each on its own virtual body: the slave takes every shot with the
// master, by the shooting times in their pictures.
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace orvex::test {
namespace {

// Milliseconds of the day at which each picture of the folder was taken, in the order they were taken.
std::vector<long> shootingTimes(const std::filesystem::path& folder) {
    std::vector<long> times;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (isNightLog(file.path())) continue;
        auto image = Exiv2::ImageFactory::open(file.path().string());
        image->readMetadata();
        const Exiv2::ExifData& exif = image->exifData();
        const auto when = exif.findKey(Exiv2::ExifKey("Exif.Photo.DateTimeOriginal"));
        const auto sub = exif.findKey(Exiv2::ExifKey("Exif.Photo.SubSecTimeOriginal"));
        int hour = 0, minute = 0, second = 0;
        EXPECT_TRUE(when != exif.end() && sub != exif.end()) << file.path();
        if (when == exif.end() || sub == exif.end()) continue;
        std::sscanf(when->toString().c_str(), "%*d:%*d:%*d %d:%d:%d", &hour, &minute, &second);
        times.push_back(((hour * 60L + minute) * 60 + second) * 1000 + std::atol(sub->toString().c_str()));
    }
    std::sort(times.begin(), times.end());
    return times;
}

TEST(CliSlave, EveryShotOfTheSlaveLandsWithTheMasters) {
    TempDir dir;
    const std::vector<std::string> lines(4, line().delay(10).aperture("8").speed("1/250"));
    const std::string group = "test-" + std::to_string(getpid());
    const auto startOne = [&](const std::string& name, const std::vector<std::string>& extra) {
        std::filesystem::create_directories(dir.path() / name);
        std::vector<std::string> args = {"run", "--camera=bulb", "--until=60s"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(dir.write(name + "/night.txt", scriptText(lines)));
        return launchCli(args, (dir.path() / (name + ".out")).string(), {{"ORVEX_SYNC_GROUP", group}});
    };
    // The master starts a few seconds from now, when the slave is surely waiting for it.
    const std::time_t startAt = std::time(nullptr) + 3;
    std::tm local{};
    localtime_r(&startAt, &local);
    char start[32];
    std::strftime(start, sizeof start, "--start=%H:%M:%S", &local);
    const pid_t master = startOne("master", {start});
    const pid_t slave = startOne("slave", {"--slave"});
    EXPECT_EQ(waitForCli(master), 0) << dir.read("master.out");
    EXPECT_EQ(waitForCli(slave), 0) << dir.read("slave.out");

    const std::vector<long> mastered = shootingTimes(dir.path() / "master" / "1 - Canon EOS 600D");
    const std::vector<long> followed = shootingTimes(dir.path() / "slave" / "1 - Canon EOS 600D");
    ASSERT_EQ(std::tuple(mastered.size(), followed.size()), std::tuple(lines.size(), lines.size()));
    // Both count from the master's start and tick just after each moment: the shots fall within a few
    // milliseconds. A loaded machine (or a sanitizer) adds its own delays, but a slave counting from its
    // own start or ticking out of phase would be off by up to a whole 50 ms tick.
    for (std::size_t k = 0; k < lines.size(); ++k)
        EXPECT_LT(std::labs(followed[k] - mastered[k]), 25)
            << "shot " << k + 1 << ": master " << mastered[k] << " ms, slave " << followed[k]
            << " ms of the day";
}

// True once the process is orvex-cli keeping Ctrl-C for its loop: from then on a press is not lost. Not
// before it is orvex-cli: the child between fork and exec has its parent's mask.
bool keepsInterrupt(pid_t pid) {
    std::error_code error;
    const auto image = std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error);
    if (error || image != std::filesystem::canonical(ORVEX_CLI_PATH, error)) return false;
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigBlk:", 0) == 0)
            return std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1) & 1;
    return false;
}

// (Not a CliSlave test: those run alone, and this one may run beside others.)
// A slave waiting for its master ends at once, without a shot, when the user presses Ctrl-C or when the
// shared object it waits on is spoiled; one whose object cannot be used does not wait at all.
TEST(CliRun, AWaitingSlaveEndsAtOnce) {
    const char* refused = "This instance cannot start in step with the others: ";
    const struct {
        char what;   // Ctrl-C pressed, its object cut, or its object made open to others
        mode_t mode; // of the object made before the slave starts; 0: the slave makes it
        const char* said;
    } cases[] = {{'i', 0, ""}, {'c', 0, refused}, {'o', 0660, refused}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string group = "wait-" + std::to_string(getpid());
        const std::string object = "/orvex-sync-" + std::to_string(geteuid()) + "-" + group;
        shm_unlink(object.c_str());
        if (c.mode) {
            const int fd = shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, c.mode);
            ASSERT_GE(fd, 0);
            fchmod(fd, c.mode);
            close(fd);
        }
        const std::string out = (dir.path() / "out.txt").string(), err = (dir.path() / "err.txt").string();
        const pid_t slave = launchCli(
            {"run", "--camera=bulb", "--slave", "--until=60s", dir.write("night.txt", scriptText({line()}))},
            out, {{"ORVEX_SYNC_GROUP", group}}, err);
        if (c.what != 'o')
            while (!keepsInterrupt(slave) && kill(slave, 0) == 0) std::this_thread::yield();
        if (c.what == 'i') kill(slave, SIGINT);
        if (c.what == 'c') {
            // Once the slave has made it whole: cut before, the slave would only size it again.
            std::error_code error;
            while ((std::filesystem::file_size("/dev/shm" + object, error) == 0 || error) &&
                   kill(slave, 0) == 0)
                std::this_thread::yield();
            const int fd = shm_open(object.c_str(), O_RDWR, 0);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(ftruncate(fd, 0), 0);
            close(fd);
        }
        EXPECT_EQ(waitForCli(slave), 1);
        shm_unlink(object.c_str());
        for (const char* event : {"\tshot\t", "\tuntil\n"})
            EXPECT_EQ(dir.read(out).find(event), std::string::npos) << dir.read(out);
        EXPECT_NE(dir.read(err).find(c.said), std::string::npos) << dir.read(err);
    }
}

} // namespace
} // namespace orvex::test

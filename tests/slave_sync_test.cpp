// The value the instances on one computer share, and instances in step: what the value reads before and
// after a start is published, what it makes of objects of the same name left by others, readers and writers
// on several threads; slaves that start from the moment their master's run began, on one virtual clock.
#include "app/camera_link.h"
#include "app/synchro_problem_text.h"
#include "platform/posix/shared_synchro.h"
#include "run/run_controller.h"
#include "tests/support/cli_process.h"
#include "tests/support/picture_files.h"
#include "tests/support/run_program.h"
#include "tests/support/scoped_env.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exiv2/exiv2.hpp>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orvex::test {
namespace {

// A shared value of one test alone: its name is removed before and after, so that no run of another test
// or of a user's Orvex starts this test's programs.
struct PrivateSyncName {
    PrivateSyncName() { shm_unlink(name_.c_str()); }
    ~PrivateSyncName() { shm_unlink(name_.c_str()); }
    const std::string& name() const { return name_; }
    inline static std::atomic<int> made{0};
    std::string name_ = "/orvex-sync-test-" + std::to_string(getpid()) + "-" + std::to_string(++made);
};

// An object made under the name before any instance, open to whom the mode says whatever the umask.
int planted(const std::string& name, mode_t mode) {
    const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, mode);
    EXPECT_EQ(fd >= 0 ? fchmod(fd, mode) : -1, 0) << name;
    return fd;
}

// Another program cutting the object short under the instances using it.
void cut(const std::string& name, off_t size) {
    const int fd = shm_open(name.c_str(), O_RDWR, 0);
    ASSERT_GE(fd, 0) << name;
    EXPECT_EQ(ftruncate(fd, size), 0);
    close(fd);
}

// An object already there under the name: one of ours that holds a word, or none yet (an instance beside is
// making it), is used, as is one the instance makes; any other is refused by every instance that finds it,
// and left exactly as it was. Each publication on an object in use is new, even at the same tick, and each
// instance, master or slave, publishes on the same object.
TEST(SharedSynchro, ObjectsLeftUnderTheNameAreUsedOrRefused) {
    const std::tuple<const char*, off_t, mode_t, bool, SyncReading> cases[] = {
        {"none", 8, 0, true, {0, 0}},
        {"ours, holding a publication", 8, 0600, true, {0x42, 7}},
        {"ours, empty", 0, 0600, true, {0, 0}},
        {"ours, of another size", 16, 0600, false, {0, 0}},
        {"ours, too short", 4, 0600, false, {0, 0}},
        {"open to the group", 8, 0660, false, {0, 0}},
        {"open to everyone", 8, 0606, false, {0, 0}},
    };
    constexpr std::uint64_t kPlanted = 0x0000000700000042u; // a start at tick 0x42, seventh publication
    for (const auto& [what, size, mode, usable, read] : cases) {
        SCOPED_TRACE(what);
        PrivateSyncName name;
        const int made = mode ? planted(name.name(), mode) : -1;
        if (mode && size) {
            ASSERT_EQ(ftruncate(made, size), 0);
            ASSERT_EQ(pwrite(made, &kPlanted, std::min<std::size_t>(sizeof kPlanted, size), 0),
                      std::min<ssize_t>(sizeof kPlanted, size));
        }
        SharedSynchro first(name.name()), second(name.name());
        const int fd = mode ? made : shm_open(name.name().c_str(), O_RDWR, 0);
        ASSERT_GE(fd, 0);
        for (SharedSynchro* synchro : {&first, &second}) {
            EXPECT_EQ(synchro->usable(), usable) << synchroProblemText(kEnglish, synchro->problem());
            EXPECT_EQ(synchro->problem().name == name.name(), !usable);
            EXPECT_EQ(synchro->getSynchro(), read);
        }
        first.synchro(0xFFFFFFFFu);
        struct stat facts {};
        ASSERT_EQ(fstat(fd, &facts), 0) << "never removed";
        std::uint64_t word = 0;
        ASSERT_EQ(pread(fd, &word, sizeof word, 0), std::min<ssize_t>(sizeof word, usable ? 8 : size));
        close(fd);
        if (!usable) { // a refused object is left as it was
            EXPECT_EQ(std::tuple(facts.st_size, size < 8 || word == kPlanted), std::tuple(size, true));
            continue;
        }
        EXPECT_EQ(second.getSynchro(), (SyncReading{0xFFFFFFFFu, read.generation + 1}));
        second.synchro(0xFFFFFFFFu);
        EXPECT_EQ(first.getSynchro(), (SyncReading{0xFFFFFFFFu, read.generation + 2}));
    }
}

// An object that cannot be opened is named with the system's words for why, in the user's language as the
// rest of the message, also where nothing set the C library's locale (orvex-cli).
TEST(SharedSynchro, WhyAnObjectCannotBeOpenedIsSaidInTheUsersLanguage) {
    for (const auto& [locale, said] :
         {std::pair{"C", "Invalid argument"}, {"fr_FR.UTF-8", "Argument invalide"}}) {
        const ScopedEnv language("LC_ALL", locale);
        const SharedSynchro synchro("/orvex-sync-test/" + std::to_string(getpid()));
        EXPECT_EQ(std::tuple(synchro.problem().fault, synchro.problem().detail),
                  std::tuple(SynchroProblem::kCannotOpen, said));
    }
}

// An object cut by another program while in use never kills the instance nor looks like a new start: it
// reads as the last publication seen, and the instance gives it up and says why.
TEST(SharedSynchro, AnObjectCutWhileInUseIsGivenUp) {
    for (const off_t size : {0, 3}) {
        SCOPED_TRACE(size);
        PrivateSyncName name;
        SharedSynchro master(name.name()), slave(name.name());
        master.synchro(42);
        ASSERT_EQ(slave.getSynchro(), (SyncReading{42, 1}));
        cut(name.name(), size);
        EXPECT_EQ(slave.getSynchro(), (SyncReading{42, 1}));
        EXPECT_EQ(std::tuple(slave.usable(), slave.problem().name), std::tuple(false, name.name()));
        master.synchro(43);
        EXPECT_EQ(std::tuple(master.usable(), slave.getSynchro()), std::tuple(false, SyncReading{42, 1}));
    }
}

// An object removed while in use (systemd-logind removes it as the user's last session ends) and made again
// under the name by whichever instance comes to it first, one from before or one started since: every
// instance goes over to the new one, never taking it for a start, and sees the next publication there.
TEST(SharedSynchro, AnObjectRemovedWhileInUseIsFollowedUnderItsName) {
    for (const auto& [newMaster, newSlave] : {std::pair{false, false}, {true, false}, {false, true}}) {
        SCOPED_TRACE(std::to_string(newMaster) + std::to_string(newSlave));
        PrivateSyncName name;
        std::optional<SharedSynchro> master(name.name()), slave(name.name());
        master->synchro(42);
        ASSERT_EQ(slave->getSynchro(), (SyncReading{42, 1}));
        ASSERT_EQ(shm_unlink(name.name().c_str()), 0);
        if (newMaster) master.emplace(name.name());
        if (newSlave) slave.emplace(name.name());
        EXPECT_EQ(slave->getSynchro().generation, newSlave ? 0u : 1u) << "not a start";
        master->synchro(43);
        EXPECT_EQ(std::tuple(slave->getSynchro(), slave->getSynchro().value),
                  std::tuple(master->getSynchro(), 43u));
    }
}

TEST(SharedSynchro, TheNameIsTheUsersAndItsGroups) {
    const std::string user = "/orvex-sync-" + std::to_string(geteuid());
    for (const auto& [group, name] :
         {std::pair<const char*, std::string>{nullptr, user}, {"rig/2", user + "-rig_2"}}) {
        ScopedEnv set("ORVEX_SYNC_GROUP", group);
        EXPECT_EQ(SharedSynchro::userObjectName(), name);
    }
}

// A reader always sees a tick with its own generation, never half of one publication and half of another;
// two masters publishing at once lose no publication.
TEST(SharedSynchro, WritersAndReadersOnThreadsSeeWholePublications) {
    PrivateSyncName name;
    constexpr std::uint32_t kEach = 20000;
    SharedSynchro reader(name.name());
    std::thread counting([&name] {
        SharedSynchro own(name.name());
        for (std::uint32_t tick = 1; tick <= kEach; ++tick) own.synchro(tick); // each generation is its tick
    });
    bool torn = false, backwards = false;
    for (SyncReading last, r; last.generation < kEach; last = r) {
        r = reader.getSynchro();
        torn |= r.value != r.generation;
        backwards |= r.generation < last.generation;
    }
    counting.join();
    EXPECT_FALSE(torn || backwards) << torn << backwards;

    const auto publishing = [&name] {
        SharedSynchro own(name.name());
        for (std::uint32_t i = 0; i < kEach; ++i) own.synchro(i);
    };
    std::thread first(publishing), second(publishing);
    first.join(), second.join();
    EXPECT_EQ(reader.getSynchro().generation, 3 * kEach);
}

// A master and a slave in simulation mode whose clocks move together, sharing a value of their own.
struct InStep {
    explicit InStep(const std::string& slaveBody = kSimulation) : slave(slaveBody) {
        master.program.synchro = &masterSync;
        slave.program.synchro = &slaveSync;
    }
    // The slave waits with its script, as after `-slave -load=`, from tick 0.
    void openSlave(const std::vector<std::string>& lines, const std::string& options = " -slave") {
        slave.open(options + " -load=\"" + slave.dir.write("night.txt", scriptText(lines)) + "\"");
    }
    void runFor(unsigned ms) {
        for (unsigned done = 0; done < ms; done += 10) {
            master.runFor(std::min(10u, ms - done));
            slave.runFor(std::min(10u, ms - done));
        }
    }

    PrivateSyncName name;
    RunProgram master{kSimulation}, slave;
    SharedSynchro masterSync{name.name()}, slaveSync{name.name()};
};

// The slave polls 40 or 45 ms after the master starts (or after its delayed start arrives), yet shoots with
// it: its delays count from the master's start, and its ticks fall just after theirs. A slave that could
// not run when its master started only notes the start; a slave whose own script starts again (2 s into the
// master's run) keeps counting from its master's start. A slave whose script changed on disk since it was
// loaded starts on the script as it is now, asking nothing: nobody may be at its window to answer.
TEST(SlaveSync, TheSlaveShootsOnTheMastersSchedule) {
    const auto schedule = [](unsigned first) {
        return Strings{std::to_string(first) + " shot 1 line 2 pass 0",
                       std::to_string(first + 500) + " shot 2 line 3 pass 0"};
    };
    // masterAt: ms after the slave began to poll, every 50 ms; slaveIdleUntil: ms after the master was told
    // to start; firstShot: the second comes half a second later.
    const std::tuple<const char*, std::string, unsigned, unsigned, unsigned, bool, bool, bool, bool, bool>
        cases[] = {{"start", "", 10, 0, 10000, true, true, false, true, false},
                   {"start just after a poll", "", 5, 0, 10000, true, true, false, true, false},
                   {"delayed start", " -start=\"21:00:05\"", 10, 4950, 15000, true, true, false, true, false},
                   {"no script", "", 10, 0, 10000, false, true, false, false, false},
                   {"not connected", "", 10, 0, 10000, true, false, false, false, false},
                   {"its script reloaded", "", 10, 0, 10000, true, true, true, true, false},
                   {"its script changed", "", 10, 0, 10000, true, true, false, true, true}};
    for (const auto& [what, masterOptions, masterAt, slaveIdleUntil, firstShot, script, connected, reloaded,
                      follows, changed] : cases) {
        SCOPED_TRACE(what);
        InStep t;
        const std::vector<std::string> lines = {line().delay(100), line().delay(5)};
        script ? t.openSlave(changed ? Strings{lines[0]} : lines) : t.slave.open(" -slave");
        if (changed) {
            const std::string night = t.slave.dir.write("night.txt", scriptText(lines));
            std::filesystem::last_write_time(night, std::filesystem::last_write_time(night) +
                                                        std::chrono::seconds(2));
        }
        if (!connected) disconnectCamera(t.slave.program, t.slave.window);
        t.runFor(masterAt);
        t.slave.timeline.start();
        t.master.start(lines, masterOptions);
        if (slaveIdleUntil) {
            t.runFor(slaveIdleUntil);
            EXPECT_FALSE(t.slave.program.run.running);
            EXPECT_EQ(t.slaveSync.getSynchro().generation, 0u) << "published before its moment";
        }
        t.runFor(2000);
        if (reloaded) t.slave.window.click(kReloadScriptButton);
        t.runFor(14000 - slaveIdleUntil);
        EXPECT_EQ(std::tuple(t.master.shots(), t.slave.shots(),
                             t.slave.program.run.status == RunStatus::kCompleted),
                  std::tuple(schedule(firstShot), follows ? schedule(firstShot) : Strings{}, follows));
        if (!slaveIdleUntil) {
            EXPECT_EQ(t.slave.program.lastSyncValue, (SyncReading{masterAt, 1}));
        }
        EXPECT_EQ(t.slave.lastBox(), nullptr);
    }
}

// A start published while the slave's run goes on is only noted; once that run has ended, the next start
// begins a new one.
TEST(SlaveSync, AStartDuringTheSlavesRunIsOnlyNoted) {
    InStep t;
    t.openSlave({line().delay(20)});
    t.slave.timeline.start();
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(1000);
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(4000);
    EXPECT_EQ(std::tuple(t.slave.program.lastSyncValue, t.slave.shots()),
              std::tuple(SyncReading{1000, 2}, Strings{"2000 shot 1 line 2 pass 0"}));
    t.masterSync.synchro(t.slave.clock.tick());
    t.runFor(2500);
    EXPECT_EQ(t.slave.shots(), (Strings{"2000 shot 1 line 2 pass 0", "7000 shot 1 line 2 pass 0"}));
}

// A slave's run may begin under a modal window, its master starting while its user chooses a script to
// load: the run keeps the script it began with.
TEST(SlaveSync, AScriptChosenAsTheRunBeganIsNotLoadedUnderIt) {
    InStep t;
    t.openSlave({line().delay(10), line().delay(10)});
    const std::string other = t.slave.dir.write("other.txt", scriptText({line()}));
    t.slave.window.chooseFile = [&](const FileDialogRequest&) {
        t.slave.timeline.start();
        t.masterSync.synchro(t.slave.clock.tick());
        t.slave.runFor(100);
        return std::optional(other);
    };
    t.slave.window.click(kMenuLoad);
    t.slave.runFor(3000);
    EXPECT_EQ(t.slave.shots(), (Strings{"1000 shot 1 line 2 pass 0", "2000 shot 2 line 3 pass 0"}));
}

// Or under a box its stop shows (a picture could not be downloaded), its master starting again meanwhile:
// the run begun there goes on.
TEST(SlaveSync, ARunBegunUnderTheBoxOfAStopGoesOn) {
    InStep t("bulb failDownloadAt=1");
    t.openSlave({line().delay(10), line().delay(100)});
    t.slave.timeline.start();
    t.masterSync.synchro(t.slave.clock.tick());
    t.slave.runFor(3000);
    bool published = false;
    t.slave.window.answer = [&](const MessageBoxRecord& box) {
        if (box.buttons == BoxButtons::YesNo) return BoxAnswer::Yes;
        if (!std::exchange(published, true)) {
            t.masterSync.synchro(t.slave.clock.tick());
            t.slave.runFor(100);
        }
        return BoxAnswer::Ok;
    };
    t.slave.window.click(kStartButton);
    t.slave.runFor(2000);
    EXPECT_EQ(
        std::tuple(t.slave.shots(), t.slave.program.run.status),
        std::tuple(Strings{"1000 shot 1 line 2 pass 0", "4000 shot 1 line 2 pass 0"}, RunStatus::kDelayWait));
}

// The Slave box both ways: a start published before slave mode never starts a run; back to master, the
// poll stops and the instance publishes its own start.
TEST(SlaveSync, TheSlaveBoxSwitchesBothWays) {
    InStep t;
    t.openSlave({line().delay(10)}, "");
    t.masterSync.synchro(5);
    t.slave.window.click(kSlaveToggle);
    const auto shown = [&] {
        const HeadlessWindow& w = t.slave.window;
        return std::tuple(t.slave.program.slaveMode, w.hasTimer(kTimerSync), w.isItemChecked(kSlaveToggle),
                          w.isItemEnabled(kDelayedToggle), w.isItemEnabled(kStartButton));
    };
    EXPECT_EQ(shown(), std::tuple(true, true, true, false, false));
    t.runFor(500);
    EXPECT_FALSE(t.slave.program.run.running);
    t.slave.window.click(kSlaveToggle);
    EXPECT_EQ(shown(), std::tuple(false, false, false, true, true));
    t.slave.window.click(kStartButton);
    EXPECT_EQ(t.masterSync.getSynchro(), (SyncReading{500, 2}));
}

// Milliseconds of the day at which each picture of the folder was taken, in the order they were taken.
std::vector<long> shootingTimes(const std::filesystem::path& folder) {
    std::vector<long> times;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (isNightLog(file.path())) continue;
        auto image = Exiv2::ImageFactory::open(file.path().string());
        image->readMetadata();
        Exiv2::ExifData& exif = image->exifData();
        const std::string sub = exif["Exif.Photo.SubSecTimeOriginal"].toString();
        int hour = -1, minute = 0, second = 0;
        std::sscanf(exif["Exif.Photo.DateTimeOriginal"].toString().c_str(), "%*d:%*d:%*d %d:%d:%d", &hour,
                    &minute, &second);
        EXPECT_TRUE(hour >= 0 && !sub.empty()) << file.path() << " tells no shooting time";
        times.push_back(((hour * 60L + minute) * 60 + second) * 1000 + std::atol(sub.c_str()));
    }
    std::sort(times.begin(), times.end());
    return times;
}

// Two orvex-cli runs on one computer, each on its own virtual body: the slave takes every shot with the
// master, by the shooting times in their pictures.
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
    char start[32];
    localtime_r(&startAt, &local);
    std::strftime(start, sizeof start, "--start=%H:%M:%S", &local);
    const pid_t master = startOne("master", {start});
    const pid_t slave = startOne("slave", {"--slave"});
    EXPECT_EQ(waitForCli(master), 0) << dir.read("master.out");
    EXPECT_EQ(waitForCli(slave), 0) << dir.read("slave.out");

    const std::vector<long> mastered = shootingTimes(dir.path() / "master" / "1 - Canon EOS 600D"),
                            followed = shootingTimes(dir.path() / "slave" / "1 - Canon EOS 600D");
    ASSERT_EQ(std::tuple(mastered.size(), followed.size()), std::tuple(lines.size(), lines.size()));
    // Both count from the master's start and tick just after each moment: the shots fall within a few
    // milliseconds. A slave counting from its own start or ticking out of phase is off at every shot, by up
    // to a whole 50 ms tick or more; a loaded machine (or a sanitizer) delays one process now and then, so
    // one shot of the four may be late by up to a second.
    std::size_t together = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const long apart = std::labs(followed[k] - mastered[k]);
        together += apart < 25;
        EXPECT_LT(apart, 1000) << "shot " << k + 1 << ": master " << mastered[k] << " ms, slave "
                               << followed[k] << " ms of the day";
    }
    EXPECT_GE(together, lines.size() - 1) << "ms of the day, master " << ::testing::PrintToString(mastered)
                                          << ", slave " << ::testing::PrintToString(followed);
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

// True while the process runs: neither gone nor ended and waiting to be reaped.
bool running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text{std::istreambuf_iterator<char>(stat), {}};
    const auto name = text.rfind(") ");
    return name != std::string::npos && text[name + 2] != 'Z';
}

// (Not a CliSlave test: those run alone, and this one may run beside others.)
// A slave waiting for its master ends at once, without a shot, when the user presses Ctrl-C or when the
// shared object it waits on is spoiled; one whose object cannot be used, or whose script cannot be loaded,
// does not wait at all; one whose start is refused when its master starts does not wait for another.
TEST(CliRun, AWaitingSlaveEndsAtOnce) {
    const std::string group = "wait-" + std::to_string(getpid());
    const std::string object = "/orvex-sync-" + std::to_string(geteuid()) + "-" + group;
    const std::string refused = "This instance cannot start in step with the others: " + object;
    // What: Ctrl-C pressed, its object cut, its object made open to others, its script unreadable, its master
    // started; the mode of the object made before the slave starts (0: the slave makes it); the language;
    // what it says on its error output; its script line, its camera; what its timeline tells.
    const std::string none, one = line();
    const std::tuple<char, mode_t, const char*, std::string, std::string, const char*, const char*> cases[] =
        {{'i', 0, "en", none, one, "bulb", ""},
         {'c', 0, "en", refused + " was changed by another program", one, "bulb", ""},
         {'o', 0660, "fr",
          "Cette instance ne peut pas démarrer avec les autres : " + object +
              " appartient à un autre utilisateur ou est ouvert à d'autres\n",
          one, "bulb", ""},
         {'s', 0, "en", none, line().when("soon"), "bulb", "\tend\t69\tNot started\n"},
         {'m', 0, "fr", none, line().when("Move"), "no-liveview", "\tend\t69\tNon démarrée\n"}};
    for (const auto& [what, mode, language, said, script, camera, told] : cases) {
        SCOPED_TRACE(what);
        TempDir dir;
        shm_unlink(object.c_str());
        if (mode) close(planted(object, mode));
        const std::string out = (dir.path() / "out.txt").string(), err = (dir.path() / "err.txt").string();
        const pid_t slave =
            launchCli({"run", "--lang", language, std::string("--camera=") + camera, "--slave", "--until=60s",
                       dir.write("night.txt", scriptText({script}))},
                      out, {{"ORVEX_SYNC_GROUP", group}}, err);
        if (what != 'o' && what != 's')
            while (!keepsInterrupt(slave) && running(slave)) std::this_thread::yield();
        if (what == 'i') kill(slave, SIGINT);
        // Until the slave has seen one: it takes none published before it read the value.
        if (what == 'm')
            for (SharedSynchro master(object); running(slave);) master.synchro(1);
        if (what == 'c') {
            // Once the slave has made it whole: cut before, the slave would only size it again.
            std::error_code error;
            while ((std::filesystem::file_size("/dev/shm" + object, error) == 0 || error) && running(slave))
                std::this_thread::yield();
            cut(object, 0);
        }
        EXPECT_EQ(waitForCli(slave), 1);
        shm_unlink(object.c_str());
        const std::string printed = dir.read(out), errors = dir.read(err);
        EXPECT_EQ(std::tuple(printed.find("\tshot\t"), printed.find("\tuntil\n"),
                             printed.find(told) != std::string::npos),
                  std::tuple(std::string::npos, std::string::npos, true))
            << printed;
        EXPECT_NE(errors.find(said), std::string::npos) << errors;
    }
}

} // namespace
} // namespace orvex::test

#include "platform/data_files.h"
#include "platform/desktop_entry.h"
#include "platform/files.h"
#include "platform/headless/virtual_clock.h"
#include "platform/system_clock.h"
#include "platform/system_language.h"
#include "tests/support/full_disk.h"
#include "tests/support/own_process.h"
#include "tests/support/refused_calls.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_program.h"

#include <ctime>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvex::test {
namespace {

TEST(SystemLanguage, FrenchLocalesGiveTheirCountrysId) {
    const struct {
        const char *all, *lang;
        unsigned id;
    } cases[] = {{"fr_FR.UTF-8", nullptr, 1036}, {"fr_CA.UTF-8", nullptr, 3084}, {"fr_MC", nullptr, 6156},
                 {"fr_SN", nullptr, 1036},       {"fr", nullptr, 1036},          {"de_DE", nullptr, 1033},
                 {nullptr, "fr_CA", 3084},       {nullptr, nullptr, 1033},       {"C", "fr_FR", 1033}};
    for (const auto& c : cases) {
        ScopedEnv all("LC_ALL", c.all), messages("LC_MESSAGES", nullptr), lang("LANG", c.lang);
        EXPECT_EQ(systemLanguageId(), c.id) << (c.all ? c.all : "-") << " " << (c.lang ? c.lang : "-");
    }
}

// The zone goes back before the last tzset(): later tests, and the programs they start, share this process's.
TEST(SystemClock, LocalTimeFollowsTheTimeZone) {
    CivilTime local, universal;
    {
        ScopedEnv tz("TZ", "XYZ-2"); // two hours east of Greenwich
        tzset();
        SystemClock clock;
        local = clock.localTime(), universal = clock.universalTime();
    }
    tzset();
    const auto minutes = [](const CivilTime& t) { return t.hour * 60 + t.minute; };
    EXPECT_EQ((minutes(local) - minutes(universal) + 1440) % 1440, 120);
}

// A window's timer: each turn is due a period after the last one fell due, is scheduled again before its
// action runs (an action scheduled meanwhile for the same moment runs after it), and may stop itself.
TEST(VirtualClock, RepeatingActionsKeepTheirPeriodUntilCancelledEvenFromInside) {
    VirtualClock clock;
    std::vector<std::pair<char, std::uint32_t>> runs; // action, ms since the start
    int turns = 0, timer = 0;
    timer = clock.scheduleEvery(50, [&] {
        runs.emplace_back('T', clock.tick());
        if (++turns == 2) clock.sleep(120); // the third turn, due at 150, comes at 220
        if (turns == 3) clock.schedule(50, [&] { runs.emplace_back('o', clock.tick()); });
        if (turns == 5) clock.cancel(timer);
    });
    clock.schedule(100,
                   [&] { runs.emplace_back('a', clock.tick()); }); // scheduled before the timer's second turn
    for (int step = 0; step < 40; ++step) clock.advance(10);
    EXPECT_EQ(runs, (std::vector<std::pair<char, std::uint32_t>>{
                        {'T', 50}, {'a', 100}, {'T', 100}, {'T', 220}, {'T', 270}, {'o', 270}, {'T', 320}}));
}

// sameFile is held by the script chain dialog's tests: one folder spelled two ways, and another folder.
TEST(Files, PathPartsAtomicWritesAndNewFilesThatNeverReplace) {
    EXPECT_EQ(std::tuple(directoryOf("/a/b/night.txt"), directoryOf("night.txt"),
                         stemOf("/a/b.d/night.v2.txt"), stemOf("/a/b.d/night")),
              std::tuple("/a/b/", "", "night.v2", "night"));
    TempDir dir;
    const std::string file = dir.write("keep.ini", "old");
    dir.write("keep.ini.tmp-" + std::to_string(getpid()), "left by a crash");
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write);
    ASSERT_TRUE(writeFileAtomically(file, "new content"));
    EXPECT_EQ(dir.read(file), "new content");
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write);
    std::filesystem::permissions(file, perms::owner_read | perms::group_read);
    EXPECT_FALSE(writeFileAtomically(file, "locked")) << "read-only, even to root";
    EXPECT_EQ(dir.read(file), "new content");
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write);
    EXPECT_FALSE(writeFileAtomically((dir.path() / "missing" / "x.ini").string(), "x"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_FALSE(createNewFile(file, "newer"));
    EXPECT_TRUE(createNewFile((dir.path() / "made.txt").string(), "new"));
    EXPECT_EQ(dir.read("made.txt"), "new");
    EXPECT_EQ(dir.read(file), "new content") << "an existing file is kept";
}

// A row the full disk took only in part is taken back: the next one, once there is room, starts a line of its
// own. The disk is full past 100 bytes in a process of its own (a limit on the size of the files it writes).
// So is a row the disk took but would not make safe.
TEST(Files, AnAppendIsWholeOrNothing) {
    TempDir dir;
    const std::string path = (dir.path() / "night.tsv").string();
    EXPECT_EQ(exitCodeInOwnProcess([&] {
                  diskFullPast(100);
                  AppendedFile file(path);
                  const bool first = file.append(std::string(59, 'a') + '\n'),
                             second = file.append(std::string(60, 'b'));
                  diskFullPast(std::nullopt);
                  return first && !second && file.append("c\n") ? 0 : 1;
              }),
              0);
    EXPECT_EQ(dir.read(path), std::string(59, 'a') + "\nc\n");

    // Written but not made safe (a failing disk may tell only then): a power cut could still take it.
    const std::string unsafe = (dir.path() / "unsafe.tsv").string();
    EXPECT_EQ(exitCodeInOwnProcess([&] {
                  AppendedFile file(unsafe);
                  const bool first = file.append("a\n");
                  refuseCalls({{SYS_fdatasync, EIO}});
                  return first && !file.append("b\n") ? 0 : 1;
              }),
              0);
    EXPECT_EQ(dir.read(unsafe), "a\n");
}

// Started from a folder that was then removed: not the root folder, whose Orvex.ini would be read and
// written.
TEST(Files, ARemovedCurrentFolderIsStillTheCurrentOne) {
    TempDir dir;
    const std::string gone = (dir.path() / "gone").string();
    ASSERT_TRUE(std::filesystem::create_directory(gone));
    EXPECT_EQ(exitCodeInOwnProcess([&] {
                  return chdir(gone.c_str()) == 0 && rmdir(gone.c_str()) == 0 && currentDirectory() == "./"
                             ? 0
                             : 1;
              }),
              0);
}

// A download lands on its name on every file system a picture folder may be on, and never on a picture there
// already: ext4 and tmpfs; FAT and exFAT cards (no such rename, links refused); a FUSE file system without
// hard links (libfuse answers ENOSYS).
TEST(Files, MovingWithoutReplacingOnEachFileSystem) {
    const struct {
        const char* what;
        int renameError, linkError;
    } systems[] = {{"ext4", 0, 0},
                   {"no such rename", EINVAL, 0},
                   {"FAT", EINVAL, EPERM},
                   {"exFAT", EINVAL, EOPNOTSUPP},
                   {"FUSE without hard links", EINVAL, ENOSYS}};
    for (const auto& s : systems) {
        for (const bool taken : {false, true}) {
            SCOPED_TRACE(std::string(s.what) + (taken ? ", name taken" : ""));
            TempDir dir;
            const std::string from = dir.write("IMG_0001.part", "picture"),
                              to = (dir.path() / "A.JPG").string();
            if (taken) dir.write("A.JPG", "earlier");
            EXPECT_EQ(exitCodeInOwnProcess([&] {
                          refuseCalls({{SYS_renameat2, s.renameError}, {SYS_linkat, s.linkError}});
#ifdef SYS_link
                          refuseCalls({{SYS_link, s.linkError}});
#endif
                          return moveWithoutReplacing(from, to) ? 0 : 1;
                      }),
                      taken ? 1 : 0);
            EXPECT_EQ(dir.read("A.JPG"), taken ? "earlier" : "picture");
            EXPECT_EQ(std::filesystem::exists(from), taken);
        }
    }
}

// The start-up directory comes first, then beside the program, then the installed data folders; a folder of
// that name does not count.
TEST(DataFiles, FirstFolderHoldingTheFileWins) {
    TempDir dir;
    const std::string root = dir.path().string(), start = root + "/start/", bin = root + "/bin/",
                      data = root + "/share/orvex/";
    const std::vector<std::string> folders{start, bin, data};
    for (const std::string& folder : folders) std::filesystem::create_directories(folder);
    // The folders where Orvex_fr.pdf is a file, and the one it is found in.
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{start, bin, data}, start}, {{bin, data}, bin}, {{data}, data}, {{}, ""}};
    for (const auto& [holders, expected] : cases) {
        for (const std::string& f : folders) std::filesystem::remove_all(f + "Orvex_fr.pdf");
        for (const std::string& f : holders) std::ofstream(f + "Orvex_fr.pdf") << "%PDF";
        EXPECT_EQ(findFileIn(folders, "Orvex_fr.pdf"), expected.empty() ? "" : expected + "Orvex_fr.pdf");
    }
    std::filesystem::create_directories(start + "Orvex_fr.pdf");
    EXPECT_EQ(findFileIn({"", start, data}, "Orvex_fr.pdf"), "");
}

TEST(DataFiles, FoldersFollowTheProgramsPlace) {
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string prefix = bin.parent_path().string();
    EXPECT_EQ(dataFolders(), (std::vector<std::string>{bin.string() + "/", prefix + "/share/orvex/",
                                                       prefix + "/share/doc/orvex/"}));
}

TEST(DesktopEntry, ExecBecomesAnArgumentList) {
    const std::vector<std::string> files{"/a b/night.txt", "/x.txt"};
    const struct {
        const char* exec;
        std::vector<std::string> expected;
    } cases[] = {
        {"gedit %U", {"gedit", "/a b/night.txt", "/x.txt"}},
        {"\"/opt/My Editor/ed\" --new %f", {"/opt/My Editor/ed", "--new", "/a b/night.txt"}},
        {"kate -b %u %i %c", {"kate", "-b", "/a b/night.txt"}},
        {"calc --ratio=100%% \"say \\\"hi\\\"\"",
         {"calc", "--ratio=100%", "say \"hi\"", "/a b/night.txt", "/x.txt"}},
        {"broken \"quote", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(execArguments(c.exec, files), c.expected) << c.exec;
}

} // namespace
} // namespace orvex::test

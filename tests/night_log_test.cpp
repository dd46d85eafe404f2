// The night log's own rules: never written over, in the user's language, moments with their offset; and the
// run asking the kernel of its clock once an hour of waiting, each row on disk as soon as it is known.
#include "core/night_log.h"
#include "platform/kernel_clock.h"
#include "tests/support/full_disk.h"
#include "tests/support/picture_files.h"
#include "tests/support/run_program.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace orvex::test {
namespace {

TEST(NightLog, NeverWritesOverAnEarlierLogAndTellsOutcomesInTheUsersLanguage) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    const CivilTime start{2026, 8, 12, 20, 27, 14, 250};
    ReleaseRecord release;
    release.fileLine = 3, release.pass = 1, release.released = true, release.lateMs = 12.34;
    release.planned = {1'786'566'434'250'000, 120}, release.releasedAt = {1'786'566'434'262'340, 120};
    release.av = "8", release.tv = "1/250", release.iso = "100", release.quality = "RAW";
    // The French log as a French desktop writes it, whose locale puts a comma in numbers.
    const struct {
        int language;
        const char *locale, *stored, *onCard, *lost;
    } cases[] = {{kEnglish, "C", "stored", "on card", "lost"},
                 {kFrench, "fr_FR.UTF-8", "enregistrée", "sur la carte", "perdue"}};
    std::vector<std::string> names;
    for (const auto& c : cases) {
        const ScopedLocale locale(c.locale);
        ASSERT_TRUE(locale.taken()) << c.locale << ": run scripts/install-deps.sh";
        // A script folder named with a line break stays on its comment line.
        const auto log = NightLog::create(folder, start, {"script\tby the\nlake/night.txt"}, c.language);
        ASSERT_TRUE(log);
        names.push_back(log->path().substr(folder.size()));
        DownloadOutcome stored, onCard, lost;
        stored.stored = folder + "2026-08-12_20-27-14_0001.CR2",
        stored.taken = EdsTime{2026, 8, 12, 20, 27, 14, 0};
        onCard.cameraName = "IMG_0002.JPG", onCard.onCard = "DCIM/100CANON", lost.lost = true;
        for (const DownloadOutcome& outcome : {stored, onCard, lost}) log->pictureDone(release, outcome);
        const std::string moments =
            "3\t1\t2026-08-12T20:27:14.250+02:00\t2026-08-12T20:27:14.262+02:00\t12.3\t8\t1/250\t100\tRAW\t";
        EXPECT_EQ(dir.read(log->path()),
                  "# script\tby the lake/night.txt\n"
                  "line\tpass\tplanned\treleased\tlate_ms\tav\ttv\tiso\tquality\tfile\ttaken\toutcome\n" +
                      moments + "2026-08-12_20-27-14_0001.CR2\t2026-08-12T20:27:14\t" + c.stored + '\n' +
                      moments + "card:DCIM/100CANON/IMG_0002.JPG\t\t" + c.onCard + '\n' + moments + "\t\t" +
                      c.lost + '\n')
            << c.language;
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"night_2026-08-12_20-27-14.tsv", "night_2026-08-12_20-27-14-1.tsv"}));
    EXPECT_FALSE(NightLog::create(folder + "gone/", start, {}, kEnglish));
    // West of Greenwich, and a moment before the epoch's millisecond boundary.
    EXPECT_EQ(isoMoment({-1, -330}), "1969-12-31T23:59:59.999-05:30");
}

// A disk full from the start (a limit on the size of the files it writes, in a process of its own) and then
// freed: the log keeps the head and the rows it refused, and writes them in order once there is room, with
// the next row or, after the last one, when the log is closed.
TEST(NightLog, RowsTheFullDiskRefusedAreWrittenOnceThereIsRoom) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/";
    ReleaseRecord release;
    std::vector<DownloadOutcome> pictures(3);
    for (std::size_t i = 0; i < pictures.size(); ++i) pictures[i].stored = folder + char('a' + i) + ".CR2";
    const pid_t child = fork();
    if (child == 0) {
        diskFullPast(0);
        auto log = NightLog::create(folder, {2026, 8, 12, 20, 27, 14, 0}, {"script"}, kEnglish);
        if (!log) _exit(1);
        log->pictureDone(release, pictures[0]);
        diskFullPast(std::nullopt);
        log->pictureDone(release, pictures[1]);
        diskFullPast(0);
        log->pictureDone(release, pictures[2]);
        diskFullPast(std::nullopt);
        log.reset();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    const std::string text = dir.read(folder + "night_2026-08-12_20-27-14.tsv");
    EXPECT_TRUE(text.starts_with("# script\nline\t")) << text;
    const auto a = text.find("\ta.CR2\t"), b = text.find("\tb.CR2\t"), c = text.find("\tc.CR2\t");
    EXPECT_TRUE(a < b && b < c && c != std::string::npos) << text;
}

class CountedKernelClock final : public KernelClock {
  public:
    mutable int asked = 0;
    std::optional<KernelClockState> state() const override { return ++asked, KernelClockState{}; }
    std::string timeSource() const override { return {}; }
};

TEST(NightLog, TheRunAsksTheKernelOnceAnHourOfWaitingAndEachRowIsOnDiskAtOnce) {
    RunProgram t;
    CountedKernelClock kernel;
    t.program.kernelClock = &kernel;
    // Two shots two and a half hours apart.
    t.start({line().delay(0).speed("1/250"), line().delay(90000).speed("1/250")});
    const auto logText = [&] { return nightLogIn(t.dir.path() / "1 - Canon EOS 600D"); };
    t.runFor(5000);
    EXPECT_NE(logText().find("\tstored\n"), std::string::npos) << logText();
    EXPECT_EQ(kernel.asked, 1);
    t.runFor(9005000);
    // At the start, then after one hour and two.
    EXPECT_EQ(std::tuple(t.program.run.status, kernel.asked), std::tuple(RunStatus::kCompleted, 3));
    const std::string all = logText();
    std::size_t clockLines = 0;
    for (auto at = all.find("# clock\t"); at != std::string::npos; at = all.find("# clock\t", at + 1))
        ++clockLines;
    EXPECT_EQ(clockLines, 3u) << all;
    EXPECT_NE(all.find("\n3\t0\t2026-12-06T23:30:00.000+00:00\t2026-12-06T23:30:00.000+00:00\t0.0\t"),
              std::string::npos)
        << all;
}

} // namespace
} // namespace orvex::test

// The desktop program started as a process with --screenshot, the way machines without a screen use it.
#include "tests/support/scoped_env.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Ended {
    int exitCode; // -1 when it did not end by itself
    std::string error;
};

// Starts the desktop program, offscreen and in English, in the folder with these arguments.
void start(QProcess& orvex, const QTemporaryDir& folder, const QStringList& arguments) {
    orvex.setWorkingDirectory(folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LC_ALL", "C");
    orvex.setProcessEnvironment(environment);
    orvex.start(ORVEX_DESKTOP_PATH, arguments);
}

// Writes night.txt there, the header and these lines; the option that loads it.
QString loading(const QTemporaryDir& folder, const std::string& lines) {
    const QString script = folder.filePath("night.txt");
    std::ofstream(script.toStdString()) << "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n"
                                        << lines << '\n';
    return "-load=\"" + script + "\"";
}

// The desktop program in the folder with these arguments, run to its end.
Ended runDesktop(const QTemporaryDir& folder, const QStringList& arguments) {
    QProcess orvex;
    start(orvex, folder, arguments);
    // A plan's rehearsal waits a whole day for a sound that never comes: seconds, more under a sanitizer.
    if (!orvex.waitForFinished(180000)) {
        orvex.kill();
        orvex.waitForFinished();
        return {-1, {}};
    }
    return {orvex.exitStatus() == QProcess::NormalExit ? orvex.exitCode() : -1,
            orvex.readAllStandardError().toStdString()};
}

// The program on the virtual body with night.txt (the header and this line) loaded and these options,
// saving to `target`: its exit code.
int takeScreenshot(const QTemporaryDir& folder, const std::string& line, const QStringList& options,
                   const QString& target) {
    QFile::remove(target);
    const QStringList arguments{"-virtualcam=bulb", "-connect=\"\"", loading(folder, line)};
    return runDesktop(folder, arguments + options + QStringList{"--screenshot=" + target}).exitCode;
}

// It saves the window and exits, even with a run going on that would refuse to quit (one shot a minute after
// the start: the run is still waiting when the picture is taken); a picture it could not save is a failure.
// What the options bring up in front of the main window is the picture: a box that refuses the start (a
// burst on a body in single-shot drive), also in place of the dialog asked for, the live view window, which
// is not modal, the box of a slave whose shared start is not Orvex's.
TEST(ScreenshotOption, SavesWhatIsInFrontOfTheMainWindowAndExitsWhateverTheRunState) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string group = "screenshot-" + std::to_string(getpid());
    const orvex::test::ScopedEnv inGroup("ORVEX_SYNC_GROUP", group.c_str());
    const std::string shared = "/orvex-sync-" + std::to_string(geteuid()) + "-" + group;
    const int planted = shm_open(shared.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_EQ(planted >= 0 ? ftruncate(planted, 1) : -1, 0);
    close(planted);
    const QString picture = folder.filePath("window.png");
    const std::string waiting = "600\t8\t1\t250\t100\tR", burst = "0\t8\t1\t250\t100\tR\t2";
    const struct {
        const std::string& line;
        QStringList options;
        QString target;
        int exitCode;
        bool mainWindow; // the picture is the main window's size
    } cases[] = {{burst, {}, picture, 0, true},
                 {waiting, {}, picture, 0, true},
                 {waiting, {"-start=\"\""}, picture, 0, true},
                 {waiting, {"-start=\"\""}, folder.filePath("missing/window.png"), 1, false},
                 {burst, {"-start=\"\""}, picture, 0, false},
                 {burst, {"-start=\"\"", "--dialog=PARAMETER_DIALOG"}, picture, 0, false},
                 {burst, {"--dialog=SMALL_LIVE_VIEW_DIALOG"}, picture, 0, false},
                 {waiting, {"-slave"}, picture, 0, false}};
    QSize window;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line + " " + c.options.join(' ').toStdString() + " " + c.target.toStdString());
        EXPECT_EQ(takeScreenshot(folder, c.line, c.options, c.target), c.exitCode);
        const QSize size = QImage(c.target).size();
        EXPECT_EQ(size.isEmpty(), c.exitCode != 0);
        if (window.isEmpty()) window = size;
        EXPECT_EQ(size == window, c.mainWindow); // the first is the main window's
    }
    shm_unlink(shared.c_str());
}

// A virtual body it cannot make is a box nobody would close off screen: the reason goes to standard error, no
// picture is saved, and the program ends with 2 instead of waiting.
TEST(ScreenshotOption, ABadVirtualBodyIsToldOnStandardErrorWithoutWaiting) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString target = folder.filePath("window.png");
    for (const QString& body : {QString("no-such-preset"), folder.filePath("missing.ini")}) {
        const Ended ended = runDesktop(folder, {"-virtualcam=\"" + body + "\"", "--screenshot=" + target});
        EXPECT_EQ(ended.exitCode, 2) << body.toStdString();
        EXPECT_NE(ended.error.find("Error: '" + body.toStdString() + "' is neither a virtual camera preset"),
                  std::string::npos)
            << ended.error;
        EXPECT_FALSE(QFileInfo::exists(target));
    }
}

// Ctrl-C, a logout's or a shutdown's SIGTERM and the terminal's SIGHUP end the program however the run
// stands, waiting for its line's moment or holding a bulb exposure open, which would refuse to quit: it ends
// the run as Stop does, the exposure's picture stored, and exits by itself. What the run's end tells goes to
// standard error, for nobody may be there to close a box. A hang-up it was started ignoring (nohup) leaves
// the run going: its second line is taken, and SIGTERM ends it. A script that cannot be loaded is a box
// before any run: the signal closes it, and its text is told.
TEST(DesktopProcess, TheSignalsThatEndAProgramEndItsRunFirst) {
    const std::string waiting = "600\t8\t1\t250\t100\tR", bulb = "0\t8\t40\t1\t100\tR",
                      twoShots = "0\t8\t1\t250\t100\tR\n10\t8\t1\t250\t100\tR",
                      failing = "0\t8\t1\t250\t100\tR\n600\t8\t1\t250\t100\tR";
    const struct {
        const std::string& lines;
        int signal;
        bool ignored;
        qsizetype pictures;
        const char* camera = "bulb";
        const char* told = "";
        bool runs = true;
    } cases[] = {{waiting, SIGTERM, false, 0},
                 {bulb, SIGTERM, false, 1},
                 {bulb, SIGINT, false, 1},
                 {bulb, SIGHUP, false, 1},
                 {twoShots, SIGHUP, true, 2},
                 {failing, SIGTERM, false, 0, "failing.ini",
                  "orvex: Warning: Pictures that could not be downloaded: 1"},
                 {"bogus", SIGTERM, false, 0, "bulb", "orvex: Error: invalid delay at line 2 !", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines + " " + strsignal(c.signal) + (c.ignored ? ", ignored" : ""));
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        std::ofstream(folder.filePath("failing.ini").toStdString())
            << "[camera]\npreset = bulb\nfailDownloadAt = 1\n";
        QProcess orvex;
        {
            const orvex::test::ScopedSignal handling(c.signal, c.ignored);
            start(orvex, folder,
                  {QString("-virtualcam=") + c.camera, "-connect=\"\"", loading(folder, c.lines),
                   "-start=\"\""});
        }
        const auto within30s = [&](const auto& condition) {
            for (int i = 0; i < 600 && !condition(); ++i) orvex.waitForFinished(50);
            return condition();
        };
        // The run's night log, then its pictures, are there once it has come that far.
        const QDir pictures(folder.filePath("1 - Canon EOS 600D"));
        const auto reached = [&](const QStringList& files, qsizetype count) {
            return within30s([&] { return pictures.entryList(files, QDir::Files).size() >= count; });
        };
        // Never to process 0, this test's own group, once the program has gone.
        const auto send = [&](int signal) {
            if (orvex.processId() > 0) kill(static_cast<pid_t>(orvex.processId()), signal);
        };
        // Or, for a box, its handler set: the signal then waits for the box's own loop.
        const auto heeded = [&] {
            std::ifstream status("/proc/" + std::to_string(orvex.processId()) + "/status");
            for (std::string line; std::getline(status, line);)
                if (line.rfind("SigCgt:", 0) == 0)
                    return (std::stoull(line.substr(7), nullptr, 16) >> (c.signal - 1) & 1) == 1;
            return false;
        };
        ASSERT_TRUE(c.runs ? reached({"night_*.tsv"}, 1) : within30s(heeded));
        send(c.signal);
        if (c.ignored) {
            EXPECT_TRUE(reached({"*.CR2"}, 2));
            send(SIGTERM);
        }
        EXPECT_TRUE(orvex.waitForFinished(60000));
        EXPECT_EQ(std::pair(orvex.exitStatus(), orvex.exitCode()), std::pair(QProcess::NormalExit, 0));
        EXPECT_EQ(pictures.entryList({"*.CR2"}, QDir::Files).size(), c.pictures);
        EXPECT_NE(orvex.readAllStandardError().toStdString().find(c.told), std::string::npos);
    }
}

// The pixels of the picture in that colour.
int pixelsOf(const QImage& picture, QRgb colour) {
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) count += picture.pixel(x, y) == colour;
    return count;
}

// Script › Plan… rehearses the loaded script beside the program and shows its plan: each shot in the colour
// of its release, beyond the legend's swatch (196 pixels each), a Sound line waiting on silence.
TEST(PlanWindow, ShowsTheLoadedScriptRehearsed) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString target = folder.filePath("plan.png");
    const QStringList showPlan{"--dialog=PLAN", "--screenshot=" + target};
    const int swatch = 14 * 14;
    const struct {
        const char* lines; // the first a shot timed by the camera
        bool bulb, waits;
    } cases[] = {{"0\t8\t1\t250\t100\tR\n10\t8\t40\t1\t100\tR", true, false},
                 {"0\t8\t1\t250\t100\tR\nSound\t8\t1\t250\t100\tR", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        QFile::remove(target);
        EXPECT_EQ(runDesktop(folder, QStringList{loading(folder, c.lines)} + showPlan).exitCode, 0);
        const QImage plan(target);
        ASSERT_FALSE(plan.isNull());
        // Camera, bulb, the cable's swatch alone, the wait's band.
        EXPECT_EQ(std::tuple(pixelsOf(plan, qRgb(0x2e, 0x7d, 0x32)) > swatch,
                             pixelsOf(plan, qRgb(0x15, 0x65, 0xc0)) > swatch,
                             pixelsOf(plan, qRgb(0xef, 0x6c, 0x00)),
                             pixelsOf(plan, qRgb(0xff, 0xe0, 0x82)) > 0),
                  std::tuple(true, c.bulb, swatch, c.waits));
    }
    // Without a script Plan is greyed, and the failure says so.
    const Ended greyed = runDesktop(folder, showPlan);
    EXPECT_EQ(greyed.exitCode, 1);
    EXPECT_NE(greyed.error.find(": the command that opens the window is greyed"), std::string::npos);
}

} // namespace

// The serial ports as Qt finds them, opened for the shutter cable on a pseudo-terminal standing in for a
// port, the desktop's way of starting programs, the picture area of live view, and a plan's rehearsal on a
// full disk.
#include "platform/qt/desktop_shell.h"
#include "platform/qt/picture_area.h"
#include "platform/qt/plan_rehearsal.h"
#include "platform/qt/qt_serial_ports.h"
#include "tests/support/full_disk.h"
#include "tests/support/own_process.h"
#include "tests/support/scoped_env.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace orvex {
namespace {

// The master side of a pseudo-terminal; its slave is a tty like a serial port's.
class PseudoTerminal {
  public:
    PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
    }
    ~PseudoTerminal() {
        if (master_ >= 0) close(master_);
    }
    const std::string& slave() const { return slave_; }
    bool hangsUpOnClose() const {
        termios settings{};
        return tcgetattr(master_, &settings) == 0 && (settings.c_cflag & HUPCL) != 0;
    }

  private:
    int master_;
    std::string slave_;
};

// Names sort with their numbers counted by value; a missing port neither probes nor opens; a present one is
// the cable's alone until closed.
TEST(SerialPorts, NamesSortByNumberAndAPortIsTheCablesAloneUntilClosed) {
    std::vector<std::string> names = {"ttyUSB10", "ttyS1", "ttyUSB2", "ttyACM0", "ttyS0", "ttyUSB1"};
    std::sort(names.begin(), names.end(), portNameBefore);
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS1", "ttyUSB1", "ttyUSB2", "ttyUSB10"}));
    EXPECT_EQ(std::pair(portNameBefore("COM9", "COM10"), portNameBefore("COM10", "COM10")),
              std::pair(true, false));

    QtSerialPorts ports;
    EXPECT_FALSE(ports.probe("ttyOrvexMissing"));
    EXPECT_EQ(ports.open("ttyOrvexMissing"), nullptr);
    names = ports.portNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), portNameBefore));

    PseudoTerminal terminal;
    ASSERT_FALSE(terminal.slave().empty());
    ASSERT_FALSE(terminal.hangsUpOnClose()) << "a pseudo-terminal starts as a port left with -hupcl";
    auto line = ports.open(terminal.slave());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(terminal.hangsUpOnClose()) << "a program that dies holding the cable lets go with it";
    EXPECT_EQ(ports.open(terminal.slave()), nullptr) << "opened exclusively";
    // A pseudo-terminal has no modem lines: the refusal is reported, not hidden.
    EXPECT_FALSE(line->setLines(true));
    line.reset();
    EXPECT_NE(ports.open(terminal.slave()), nullptr) << "free again once closed";
}

// What a started program was given, once it has written it down; empty when it never did.
std::string opened(const std::string& file) {
    std::string given;
    for (int i = 0; i < 1000 && !given.ends_with('|'); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream in(file);
        given.assign(std::istreambuf_iterator<char>(in), {});
    }
    return given;
}

// A program named by the user starts with its arguments. A text editor is the one the desktop associates with
// text files (xdg-mime names its desktop entry), else the first well-known one found; none, and the shell
// says it could not.
TEST(DesktopShellTest, ProgramsStartWithTheirArgumentsOrReportThatTheyCannot) {
    DesktopShell shell;
    EXPECT_TRUE(shell.start({ProgramKind::Named, "true", {"a b", "c"}}));
    EXPECT_FALSE(shell.start({ProgramKind::Named, "/no/such/program", {}}));
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString(), bin = root + "/bin",
                      apps = root + "/data/applications";
    std::filesystem::create_directories(bin), std::filesystem::create_directories(apps);
    const auto program = [&](const std::string& name, const std::string& body) {
        std::ofstream(bin + "/" + name) << "#!/bin/sh\n" << body << "\n";
        std::filesystem::permissions(bin + "/" + name, std::filesystem::perms::owner_all);
    };
    for (const char* name : {"mousepad", "editor"})
        program(name, "printf '%s|' \"$@\" > " + root + "/" + name);
    std::ofstream(apps + "/orvex-editor.desktop")
        << "[Desktop Entry]\nType=Application\nName=Editor\nExec=" << bin << "/editor %f\n";
    const test::ScopedEnv path("PATH", bin.c_str()), data("XDG_DATA_HOME", (root + "/data").c_str()),
        dirs("XDG_DATA_DIRS", (root + "/none").c_str());
    EXPECT_TRUE(shell.start({ProgramKind::TextEditor, "", {"/night 1.txt"}}));
    EXPECT_EQ(opened(root + "/mousepad"), "/night 1.txt|") << "no desktop association: a well-known editor";
    program("xdg-mime", "echo orvex-editor.desktop");
    EXPECT_TRUE(shell.start({ProgramKind::TextEditor, "", {"/night 2.txt"}}));
    EXPECT_EQ(opened(root + "/editor"), "/night 2.txt|") << "the desktop's own";
    std::filesystem::remove_all(bin);
    EXPECT_FALSE(shell.start({ProgramKind::Spreadsheet, "", {"/night.tsv"}}));
}

// The picture's rows from the top, each one colour, then black and the outline's red.
constexpr std::array<QRgb, 6> kColours = {qRgb(10, 20, 30),    qRgb(40, 50, 60), qRgb(70, 80, 90),
                                          qRgb(100, 110, 120), qRgb(0, 0, 0),    qRgb(255, 0, 0)};
enum { kBlack = 4, kRed = 5 }; // beyond the rows

// 3 pixels wide, so that each row carries 3 bytes of padding; stored bottom-up, blue, green, red.
std::vector<std::uint8_t> bottomUpFrame() {
    std::vector<std::uint8_t> pixels(12 * 4, 0);
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 3; ++x) {
            const QRgb c = kColours[3 - row];
            std::uint8_t* p = &pixels[row * 12 + x * 3];
            p[0] = qBlue(c), p[1] = qGreen(c), p[2] = qRed(c);
        }
    return pixels;
}

// A temporary folder whose disk takes no byte (a limit on the size of the files written, in a process of its
// own): a Sound line's silent recording is not written, and the plan is said unwritten there, before any
// rehearsal would blame the recording. A temporary folder that cannot be made at all (TMPDIR a file) is named
// as the place the plan could not go, with or without a Sound line.
TEST(PlanRehearsal, ATemporaryFolderThatTakesNoFileLeavesThePlanUnwritten) {
    QTemporaryDir folder;
    const std::string notAFolder = folder.filePath("tmp").toStdString();
    std::ofstream(notAFolder) << "a file";
    const struct {
        bool diskFull, silence;
        std::string unwritten; // how the path the plan could not go to ends
    } cases[] = {{true, true, "/plan.svg"}, {false, false, notAFolder}, {false, true, notAFolder}};
    for (const auto& c : cases) {
        EXPECT_EQ(test::exitCodeInOwnProcess([&] {
                      c.diskFull ? diskFullPast(0) : void(setenv("TMPDIR", notAFolder.c_str(), 1));
                      bool rehearsed = false;
                      const RehearsedPlan plan = rehearsePlan(
                          [&](const std::string&, const std::optional<std::string>&) {
                              rehearsed = true;
                              return std::vector<std::string>{"--version"};
                          },
                          c.silence, ".");
                      return !rehearsed && plan.svg.empty() && plan.unwritten.ends_with(c.unwritten) ? 0 : 1;
                  }),
                  0)
            << c.diskFull << c.silence;
    }
}

// The picture area draws a bottom-up frame the right way up, pixel for pixel without blending, black where
// the source rectangle leaves the frame, and the zoom area's outline on the very pixels it names.
TEST(PictureArea, DrawsRowsTopDownBlackOutsideAndTheOutline) {
    using Pixels = std::vector<std::array<int, 3>>; // x, y, colour
    const PixelRect whole{0, 0, 3, 4}, area{2, 2, 3, 4};
    const struct {
        const char* name;
        int width, height;
        PixelRect source;
        std::optional<PixelRect> outline;
        Pixels expected;
    } cases[] = {
        // The last row in memory is the top.
        {"one to one", 3, 4, whole, {}, {{0, 0, 0}, {2, 0, 0}, {1, 1, 1}, {1, 2, 2}, {2, 3, 3}}},
        // Lines repeated, never blended.
        {"stretched", 6, 8, whole, {}, {{0, 0, 0}, {5, 1, 0}, {0, 2, 1}, {3, 5, 2}, {5, 7, 3}}},
        {"a band beyond the frame", 3, 6, {0, -1, 3, 6}, {}, {{1, 0, kBlack}, {1, 1, 0}, {1, 4, 3}}},
        {"below the frame", 3, 6, {0, -1, 3, 6}, {}, {{1, 5, kBlack}}},
        {"the outline's corners", 9, 8, whole, area, {{2, 2, kRed}, {5, 2, kRed}, {5, 6, kRed}}},
        {"its last corner", 9, 8, whole, area, {{2, 6, kRed}}},
        {"the outline's sides", 9, 8, whole, area, {{3, 2, kRed}, {2, 4, kRed}, {5, 5, kRed}}},
        {"inside and outside it", 9, 8, whole, area, {{3, 3, 1}, {4, 5, 2}, {6, 6, 3}, {1, 1, 0}}},
    };
    const std::vector<std::uint8_t> pixels = bottomUpFrame();
    for (const auto& c : cases) {
        PictureArea area(nullptr);
        area.resize(c.width, c.height);
        area.show({3, 4, 24, 12, pixels.data(), nullptr, 0, c.source, c.outline});
        const QImage shot = area.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(shot.size(), QSize(c.width, c.height)) << c.name;
        for (const auto& [x, y, colour] : c.expected)
            EXPECT_EQ(shot.pixel(x, y), kColours[colour]) << c.name << " at " << x << "," << y;
    }
}

} // namespace
} // namespace orvex

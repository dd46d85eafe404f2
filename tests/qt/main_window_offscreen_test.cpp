// The real main window, built from MAIN_DIALOG and run by the program's own procedure, on the offscreen
// platform; screenshots are left in the build folder for people to look at.
#include "app/main_window.h"
#include "app/program.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/qt/dialog_window.h"
#include "platform/system_clock.h"
#include "resources/main_dialog.h"
#include "ui/main_controls.h"

#include <QDir>
#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace orvex {
namespace {

namespace fs = std::filesystem;

// No serial port: the test must not open the machine's real ones.
// A scratch folder that is also the current directory, so that the program's settings file lands there.
class ScratchFolder {
  public:
    ScratchFolder()
        : previous_(fs::current_path()),
          path_(fs::temp_directory_path() /
                ("orvex-qt-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        fs::remove_all(path_);
        fs::create_directories(path_);
        fs::current_path(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
        return (path_ / name).string();
    }

  private:
    fs::path previous_;
    fs::path path_;
};

struct MainWindowUnderTest {
    explicit MainWindowUnderTest(int language, const std::string& scriptPath) {
        program.language = language;
        program.options.loadPath = scriptPath;
        window = std::make_unique<QtDialogWindow>(
            MAIN_DIALOG, [this](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
            [this](int id) { return colourField(program, id); });
    }

    SystemClock clock;
    NoSerialPorts ports;
    Program program{clock, ports};
    std::unique_ptr<QtDialogWindow> window;
};

std::string screenshotPath(const std::string& name) {
    QDir().mkpath(QStringLiteral(ORVEX_SCREENSHOT_DIR));
    return std::string(ORVEX_SCREENSHOT_DIR) + "/" + name;
}

const std::string kScript = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n50\t5.6\t1\t250\t400\tR\t\n";

TEST(MainWindowOffscreen, AScriptFromTheCommandLineShowsWithoutACamera) {
    ScratchFolder folder;
    MainWindowUnderTest t(kEnglish, folder.write("night.txt", kScript));
    QtDialogWindow& w = *t.window;
    ASSERT_FALSE(w.quitCode());
    w.show();

    EXPECT_EQ(w.title(), "Corvane - night");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Corvane - night"));
    EXPECT_EQ(w.itemText(kConnectButton), "Connect");
    EXPECT_EQ(w.itemText(kStartButton), "Start");
    EXPECT_EQ(w.itemText(kCameraField), "Not connected");
    EXPECT_FALSE(w.isItemEnabled(kStartButton));
    EXPECT_TRUE(w.isItemEnabled(kReloadScriptButton));
    EXPECT_FALSE(w.isItemEnabled(kNextScriptButton));
    EXPECT_FALSE(w.isItemEnabled(kPrevScriptButton));
    EXPECT_TRUE(w.isItemShown(kWaitField));
    EXPECT_FALSE(w.isItemShown(kLevelBar));
    EXPECT_EQ(w.itemText(kSaveToList), "Host");

    // The camera field is red with white text while no camera is connected.
    const QPalette camera = w.control(kCameraField)->palette();
    EXPECT_EQ(camera.color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(camera.color(QPalette::Text), QColor(255, 255, 255));

    EXPECT_TRUE(w.saveScreenshot(QString::fromStdString(screenshotPath("main_window_en.png"))));
}

TEST(MainWindowOffscreen, FrenchTextsAndTheTemplatesGeometry) {
    ScratchFolder folder;
    MainWindowUnderTest t(kFrench, folder.write("nuit.txt", kScript));
    QtDialogWindow& w = *t.window;
    w.show();

    EXPECT_EQ(w.title(), "Corvane - nuit");
    EXPECT_EQ(w.itemText(kConnectButton), "Connecter");
    EXPECT_EQ(w.itemText(kStartButton), "Démarrer");

    // The client area is the template's 333 x 122 units, the menu bar above it.
    const DialogUnits& du = w.dialogUnits();
    EXPECT_EQ(w.clientArea()->size(), QSize(du.toPixelsX(333), du.toPixelsY(122)));
    EXPECT_GT(w.clientArea()->y(), 0);
    // Connect (7, 6) and Reload (7, 26): same column, 20 units apart; the camera field starts at x 86.
    const QRect connect = w.control(kConnectButton)->geometry();
    const QRect reload = w.control(kReloadScriptButton)->geometry();
    EXPECT_EQ(connect, du.toPixels(7, 6, 50, 14));
    EXPECT_EQ(reload.left(), connect.left());
    EXPECT_EQ(reload.top() - connect.top(), du.toPixelsY(26) - du.toPixelsY(6));
    EXPECT_EQ(w.control(kCameraField)->x(), du.toPixelsX(86));
    // The level bar shares the Wait field's place.
    EXPECT_EQ(w.control(kLevelBar)->geometry(), w.control(kWaitField)->geometry());

    EXPECT_TRUE(w.saveScreenshot(QString::fromStdString(screenshotPath("main_window_fr.png"))));
}

} // namespace
} // namespace orvex

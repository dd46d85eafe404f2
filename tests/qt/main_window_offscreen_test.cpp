// The real main window, built from MAIN_DIALOG and run by the program's own procedure, on the offscreen
// platform; screenshots are left in the build folder for people to look at.
#include "app/main_window.h"
#include "core/program.h"
#include "core/run_state.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/qt/dialog_window.h"
#include "platform/system_clock.h"
#include "resources/main_dialog.h"
#include "ui/main_controls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QStyleFactory>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace orvex {
namespace {

namespace fs = std::filesystem;

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

// Ports that are present and free, under the names given.
class NamedPorts final : public NoSerialPorts {
  public:
    explicit NamedPorts(std::vector<std::string> names) : names_(std::move(names)) {}
    std::vector<std::string> portNames() override { return names_; }
    bool probe(const std::string&) override { return true; }

  private:
    std::vector<std::string> names_;
};

// The window wired as the desktop program wires it; `commands` records every command it receives.
struct MainWindowUnderTest {
    MainWindowUnderTest(int language, const std::string& scriptPath, bool simulation = false,
                        std::vector<std::string> portNames = {})
        : ports(std::move(portNames)) {
        program.language = language;
        program.options.loadPath = scriptPath;
        program.options.simulation = simulation;
        window = std::make_unique<QtDialogWindow>(
            MAIN_DIALOG,
            [this](Window& w, const DialogMessage& m) {
                if (m.kind == MessageKind::Command) commands.push_back(m.id);
                mainWindowProcedure(program, w, m);
            },
            [this](int id) { return colourField(program, id); }, [this] { return answerTexts(program); });
    }
    void click(int id) { static_cast<QAbstractButton*>(window->control(id))->click(); }

    SystemClock clock;
    NamedPorts ports;
    Program program{clock, ports};
    std::vector<int> commands;
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
    QStringList menus; // each menu as the user reads it, "-" for a separator
    for (QAction* title : w.findChild<QMenuBar*>()->actions()) {
        QStringList entries;
        for (QAction* a : title->menu()->actions()) entries << (a->isSeparator() ? "-" : a->text());
        menus << title->text() + ": " + entries.join('|');
    }
    EXPECT_EQ(menus, (QStringList{"Script: Load|Modify|Edit|Chain|-|Quit", "Pictures: Browse|Erase",
                                  "Settings: Parameters|-|Camera|Set time LT|Set time UT", "?: About|Help"}));

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

// A question about stopping the run is answered in the window's language; "No" leaves the run going.
TEST(MainWindowOffscreen, QuestionsAnswerInTheProgramsLanguage) {
    const std::tuple<int, QString, QString> languages[] = {{kEnglish, "Yes", "No"}, {kFrench, "Oui", "Non"}};
    for (const auto& [language, yes, no] : languages) {
        ScratchFolder folder;
        MainWindowUnderTest t(language, folder.write("night.txt", kScript), true);
        t.window->show();
        t.click(kConnectButton);
        t.click(kStartButton);
        ASSERT_TRUE(t.program.run.running);
        for (const bool stop : {false, true}) {
            QStringList shown;
            QTimer::singleShot(0, [&shown, stop] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                shown = {box->button(QMessageBox::Yes)->text(), box->button(QMessageBox::No)->text()};
                box->button(stop ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            t.click(kStartButton);
            EXPECT_EQ(shown.join('/').toStdString(), (yes + '/' + no).toStdString());
            EXPECT_EQ(t.program.run.running, !stop);
        }
    }
}

// During a run the focus may rest on any button: Space and Return must not press it.
TEST(MainWindowOffscreen, KeysNeverPressTheFocusedButton) {
    ScratchFolder folder;
    MainWindowUnderTest t(kEnglish, folder.write("night.txt", kScript), true);
    t.window->show();
    QWidget* reload = t.window->control(kReloadScriptButton);
    reload->setFocus();
    t.commands.clear();
    for (const int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, key, Qt::NoModifier);
            QApplication::sendEvent(reload, &event);
        }
    EXPECT_TRUE(t.commands.empty());
    EXPECT_FALSE(static_cast<QPushButton*>(reload)->autoDefault());
}

// Whatever the style (one opens a list no wider than its box), long port names are read whole.
TEST(MainWindowOffscreen, TheOpenedSerialPortListShowsWholeNames) {
    for (const char* styleName : {"Windows", "Fusion"}) {
        const std::unique_ptr<QStyle> style(QStyleFactory::create(QString::fromLatin1(styleName)));
        ASSERT_NE(style, nullptr);
        ScratchFolder folder;
        MainWindowUnderTest t(kEnglish, folder.write("night.txt", kScript), false,
                              {"VirtualCable", "ttyUSB-FTDI-FT232R-A50285BI"});
        auto* list = static_cast<QComboBox*>(t.window->control(kSerialPortList));
        list->setStyle(style.get());
        t.window->show();
        ASSERT_EQ(list->count(), 3);
        list->showPopup();
        const QAbstractItemView* view = list->view();
        for (int i = 0; i < list->count(); ++i)
            EXPECT_GE(view->viewport()->width(), view->fontMetrics().horizontalAdvance(list->itemText(i)))
                << styleName << ": " << list->itemText(i).toStdString();
        list->hidePopup();
    }
}

} // namespace
} // namespace orvex

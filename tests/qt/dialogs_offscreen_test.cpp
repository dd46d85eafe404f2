// The parameters and script chain dialogs as the real program opens them from its menu, in both languages,
// on the offscreen platform; screenshots are left in the build folder for people to look at.
#include "camera/ae_mode_icons.h"
#include "camera/virtual/virtual_camera.h"
#include "platform/thread_scheduler.h"
#include "tests/qt/program_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace orvex::test {
namespace {

namespace fs = std::filesystem;

QPushButton* button(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// Each dialog in each language, chosen from the menu: its texts, its controls, a picture. The English
// parameters choose French and press OK: the settings are written and the main window renamed at once, its
// menu rebuilt while the entry that opened the dialog is still being triggered. Every other one is cancelled.
TEST(DialogsOffscreen, EachDialogInEachLanguage) {
    const struct {
        const char* entry;
        int language;
        bool parameters;
        const char *title, *check, *picture;
    } cases[] = {
        {"Parameters", kEnglish, true, "Orvex - Parameters", "UT", "parameter_dialog_en.png"},
        {"Paramètres", kFrench, true, "Orvex - Paramètres", "TU", "parameter_dialog_fr.png"},
        {"Chain", kEnglish, false, "Orvex - Script chain", "Close chain", "script_chain_dialog_en.png"},
        {"Chaîner", kFrench, false, "Orvex - chaînage de script", "Fermer la chaîne",
         "script_chain_dialog_fr.png"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        ProgramWindow t(c.language);
        t.start();
        const bool ok = c.parameters && c.language == kEnglish;
        t.choose(QString::fromUtf8(c.entry), [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(c.title));
            bool checkFound = false;
            for (QCheckBox* box : d.findChildren<QCheckBox*>())
                checkFound |= box->text() == QString::fromUtf8(c.check);
            EXPECT_TRUE(checkFound);
            if (c.parameters) {
                QLineEdit* count = nullptr;
                for (QLineEdit* e : d.findChildren<QLineEdit*>())
                    if (e->text() == "10") count = e;
                ASSERT_NE(count, nullptr);
                EXPECT_TRUE(count->alignment() & Qt::AlignHCenter);
                EXPECT_FALSE(count->isReadOnly());
            } else {
                EXPECT_NE(d.findChild<QListWidget*>(), nullptr);
                EXPECT_FALSE(button(d, "OK")->isEnabled());
            }
            EXPECT_TRUE(d.grab().save(QString::fromStdString(screenshotPath(c.picture)), "PNG"));
            if (!ok) {
                d.close();
                return;
            }
            for (QComboBox* list : d.findChildren<QComboBox*>())
                if (list->currentText() == "English") list->setCurrentIndex(1);
            button(d, "OK")->click();
        });
        EXPECT_EQ(fs::exists(t.program.startupDirectory + kSettingsFileName), ok);
        if (!ok) continue;
        QApplication::processEvents();
        QStringList titles;
        for (QAction* a : t.window->findChild<QMenuBar*>()->actions()) titles << a->text();
        EXPECT_EQ(titles, (QStringList{"Script", "Images", "Configuration", "?"}));
        EXPECT_EQ(t.window->itemText(kConnectButton), "Connecter");
    }
}

// The information of a virtual body: every row read, its mode icon drawn, its battery bar shown.
TEST(DialogsOffscreen, CameraInformationInEachLanguage) {
    SystemClock clock;
    ThreadScheduler scheduler;
    const auto camera = makeVirtualCamera(*virtualPreset("bulb"), clock, scheduler);
    sdk::registerCameraDriver(camera);
    for (const auto& [language, title, picture] :
         {std::tuple{kEnglish, "Orvex - Connected camera", "camera_info_dialog_en.png"},
          std::tuple{kFrench, "Orvex - Appareil connecté", "camera_info_dialog_fr.png"}}) {
        SCOPED_TRACE(picture);
        ProgramWindow t(language);
        t.start("-connect=\"\"");
        ASSERT_TRUE(t.program.camera.connected);
        t.program.aeModeIcons = loadAeModeIcons(ORVEX_EXAMPLES_DIR "/../resources/icons/");
        t.choose(language == kFrench ? "Appareil" : "Camera", [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(title));
            bool icon = false;
            for (QLabel* label : d.findChildren<QLabel*>()) icon |= !label->pixmap().isNull();
            EXPECT_TRUE(icon);
            QStringList values;
            for (QLineEdit* field : d.findChildren<QLineEdit*>())
                if (field->isVisible()) values << field->text();
            EXPECT_FALSE(values.contains("???")) << values.join('|').toStdString();
            EXPECT_TRUE(d.findChild<QProgressBar*>()->isVisible());
            EXPECT_TRUE(d.grab().save(QString::fromStdString(screenshotPath(picture)), "PNG"));
            d.close();
        });
    }
    sdk::unregisterCameraDriver(camera);
}

// Load through the platform's own file dialog: the catalogue's filter as Qt writes it, the script's
// folder.
TEST(DialogsOffscreen, LoadChoosesTheScriptInAFileDialog) {
    ProgramWindow t(kEnglish);
    t.start();
    const std::string script =
        t.folder.write("night.txt", "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n10\n");
    t.choose("Load", [&](QDialog& d) {
        auto* files = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), "Orvex - Load script file");
        EXPECT_EQ(files->nameFilters(), QStringList{"Orvex script file (*.txt)"});
        EXPECT_EQ(files->directory().absolutePath() + "/",
                  QString::fromStdString(t.program.startupDirectory));
        files->selectFile(QString::fromStdString(script));
        d.accept(); // as the Open button does
    });
    EXPECT_EQ(t.program.script.path, script);
}

} // namespace
} // namespace orvex::test

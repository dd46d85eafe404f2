// The parameters and script chain dialogs as the real program opens them from its menu, in both languages,
// on the offscreen platform; screenshots are left in the build folder for people to look at.
#include "app/main_window.h"
#include "app/program.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/qt/dialog_window.h"
#include "platform/system_clock.h"
#include "resources/main_dialog.h"
#include "resources/parameter_dialog.h"
#include "resources/script_chain_dialog.h"
#include "ui/main_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

namespace orvex {
namespace {

namespace fs = std::filesystem;

struct ProgramWindow {
    explicit ProgramWindow(int language) {
        program.language = language;
        window = std::make_unique<QtDialogWindow>(
            MAIN_DIALOG, [this](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
            [this](int id) { return colourField(program, id); });
        window->show();
        program.startupDirectory = QDir::tempPath().toStdString() + "/orvex-qt-dialogs-" +
                                   std::to_string(QApplication::applicationPid()) + "/";
        fs::create_directories(program.startupDirectory);
    }
    ~ProgramWindow() { fs::remove_all(program.startupDirectory); }
    // Chooses the menu entry; `act` runs in the dialog it opens, which must be closed by then.
    void open(int command, const std::function<void(QDialog&)>& act) {
        QTimer::singleShot(0, window.get(), [act] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        QTimer::singleShot(5000, window.get(), [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ADD_FAILURE() << "the dialog was left open";
                dialog->done(-1);
            }
        });
        mainWindowProcedure(program, *window, {MessageKind::Command, command, {}});
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    SystemClock clock;
    NoSerialPorts ports;
    Program program{clock, ports};
    std::unique_ptr<QtDialogWindow> window;
};

template <typename Widget> Widget* child(QDialog& dialog, const QString& text) {
    for (Widget* w : dialog.findChildren<Widget*>()) {
        if constexpr (std::is_same_v<Widget, QGroupBox>) {
            if (w->title() == text) return w;
        } else if (w->text() == text) {
            return w;
        }
    }
    return nullptr;
}

void screenshot(QDialog& dialog, const std::string& name) {
    QDir().mkpath(ORVEX_SCREENSHOT_DIR);
    EXPECT_TRUE(
        dialog.grab().save(QString(ORVEX_SCREENSHOT_DIR) + "/" + QString::fromStdString(name), "PNG"));
}

TEST(DialogsOffscreen, ParametersInEachLanguage) {
    const struct {
        int language;
        const char *title, *ut, *group, *cancel, *suffix;
    } languages[] = {{kEnglish, "Orvex - Parameters", "UT", "Delayed start time", "Cancel", "en"},
                     {kFrench, "Orvex - Paramètres", "TU", "Heure de démarrage", "Annuler", "fr"}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.suffix);
        ProgramWindow t(l.language);
        t.open(kMenuParameters, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(l.title));
            EXPECT_NE(child<QCheckBox>(d, QString::fromUtf8(l.ut)), nullptr);
            EXPECT_NE(child<QGroupBox>(d, QString::fromUtf8(l.group)), nullptr);
            QLineEdit* count = nullptr;
            for (QLineEdit* e : d.findChildren<QLineEdit*>())
                if (e->text() == "10") count = e;
            ASSERT_NE(count, nullptr);
            EXPECT_EQ(count->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
            EXPECT_FALSE(count->isReadOnly());
            screenshot(d, std::string("parameter_dialog_") + l.suffix + ".png");
            if (l.language == kEnglish)
                child<QPushButton>(d, "OK")->click();
            else
                child<QPushButton>(d, QString::fromUtf8(l.cancel))->click();
        });
        EXPECT_EQ(fs::exists(t.program.startupDirectory + kSettingsFileName), l.language == kEnglish)
            << "OK writes the settings, Cancel nothing";
    }
}

TEST(DialogsOffscreen, ScriptChainInEachLanguage) {
    const struct {
        int language;
        const char *title, *close, *suffix;
    } languages[] = {{kEnglish, "Orvex - Script chain", "Close chain", "en"},
                     {kFrench, "Orvex - chaînage de script", "Fermer la chaîne", "fr"}};
    for (const auto& l : languages) {
        SCOPED_TRACE(l.suffix);
        ProgramWindow t(l.language);
        t.open(kMenuChain, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QString::fromUtf8(l.title));
            EXPECT_NE(child<QCheckBox>(d, QString::fromUtf8(l.close)), nullptr);
            ASSERT_NE(d.findChild<QListWidget*>(), nullptr);
            EXPECT_FALSE(child<QPushButton>(d, "OK")->isEnabled());
            screenshot(d, std::string("script_chain_dialog_") + l.suffix + ".png");
            d.close();
        });
    }
}

} // namespace
} // namespace orvex

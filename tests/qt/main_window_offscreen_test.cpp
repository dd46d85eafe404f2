// The real main window, built from MAIN_DIALOG and run by the program's own procedure, on the offscreen
// platform, and the live view window it opens in both sizes, showing a virtual body's viewfinder in fit view
// and zoomed; screenshots are left in the build folder for people to look at.
#include "core/catalogue.h"
#include "core/run_state.h"
#include "core/value_tables.h"
#include "liveview/live_view_window.h"
#include "resources/live_view_dialog.h"
#include "tests/qt/program_window.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDropEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QUrl>

namespace orvex::test {
namespace {

const std::string kLine = "50\t5.6\t1\t250\t400\tR\t\n";

// The states of a run that fit the Status field; the body gone is read on hover.
constexpr RunStatus kEveryStatus[] = {
    RunStatus::kAborted,          RunStatus::kBurst,    RunStatus::kExposure,      RunStatus::kCompleted,
    RunStatus::kDelayedStartWait, RunStatus::kError,    RunStatus::kManualRelease, RunStatus::kIdle,
    RunStatus::kLockup,           RunStatus::kMoveWait, RunStatus::kPaused,        RunStatus::kSaving,
    RunStatus::kSoundWait,        RunStatus::kTimeWait, RunStatus::kPictureWait,   RunStatus::kDelayWait};

// Each menu as the user reads it, "-" for a separator.
QStringList menuTexts(QtDialogWindow& w) {
    QStringList menus;
    for (QAction* title : w.findChild<QMenuBar*>()->actions()) {
        QStringList entries;
        for (QAction* a : title->menu()->actions()) entries << (a->isSeparator() ? "-" : a->text());
        menus << title->text() + ": " + entries.join('|');
    }
    return menus;
}

// A script from the command line shows without a camera; once one is connected and the run started, the
// question about stopping it is answered in the window's language, and "No" leaves the run going. Whatever
// the style (one opens a list no wider than its box), long port names are read whole; so is every name of the
// narrow value fields' lists, RAW+JPEG pairs such as "MR+(M)" too.
TEST(MainWindowOffscreen, AScriptWithoutACameraThenARunToStopInEachLanguage) {
    const std::unique_ptr<QStyle> styles[] = {std::unique_ptr<QStyle>(QStyleFactory::create("Windows")),
                                              std::unique_ptr<QStyle>(QStyleFactory::create("Fusion"))};
    const ValueTables tables = makeValueTables();
    const std::pair<int, const ValueTable*> fields[] = {{kSpeedField, &tables.shutter},
                                                        {kApertureField, &tables.aperture},
                                                        {kIsoField, &tables.iso},
                                                        {kQualityField, &tables.quality}};
    const struct {
        int language;
        QStringList texts; // the window's title, Connect, Start, the camera field, Save to
        QStringList menus;
        QString answers;
    } cases[] = {
        {kEnglish,
         {"Corvane - night", "Connect", "Start", "Not connected", "Host"},
         {"Script: Load|Modify|Edit|Chain|Plan…|-|Quit", "Pictures: Browse|Erase",
          "Settings: Parameters|-|Camera|Set time LT|Set time UT", "?: About|Help"},
         "Yes/No"},
        {kFrench,
         {"Corvane - night", "Connecter", "Démarrer", "Déconnecté", "PC"},
         {"Script: Charger|Modifier|Editer|Chaîner|Plan…|-|Quitter", "Images: Afficher|Effacer",
          "Configuration: Paramètres|-|Appareil|Mise à l'heure TL|Mise à l'heure TU", "?: A propos|Aide"},
         "Oui/Non"},
    };
    for (const auto& c : cases) {
        const std::string picture = c.language == kFrench ? "main_window_fr.png" : "main_window_en.png";
        SCOPED_TRACE(picture);
        ProgramWindow t(c.language, {"VirtualCable", "ttyUSB-FTDI-FT232R-A50285BI"});
        QtDialogWindow& w = t.start("-simul " + t.loading("night.txt", kLine));
        ASSERT_FALSE(w.quitCode());
        EXPECT_EQ(w.title(), w.windowTitle().toStdString());
        const auto text = [&w](int id) { return QString::fromStdString(w.itemText(id)); };
        EXPECT_EQ((QStringList{w.windowTitle(), text(kConnectButton), text(kStartButton), text(kCameraField),
                               text(kSaveToList)}),
                  c.texts);
        EXPECT_EQ(menuTexts(w), c.menus);
        // The level bar shares the Wait field's place, and shows only while it measures.
        EXPECT_EQ(w.control(kLevelBar)->geometry(), w.control(kWaitField)->geometry());
        EXPECT_TRUE(w.isItemShown(kWaitField) && !w.isItemShown(kLevelBar));
        // The camera field is red with white text while no camera is connected.
        const QPalette camera = w.control(kCameraField)->palette();
        EXPECT_EQ(std::pair(camera.color(QPalette::Base), camera.color(QPalette::Text)),
                  std::pair(QColor(255, 0, 0), QColor(255, 255, 255)));
        // The client area is the template's 333 x 122 units, the menu bar above it.
        const DialogUnits& du = w.dialogUnits();
        EXPECT_EQ(w.clientArea()->size(), QSize(du.toPixelsX(333), du.toPixelsY(122)));
        EXPECT_GT(w.clientArea()->y(), 0);

        // The focus may rest on any button, also during a run: keys must not press it.
        QWidget* reload = w.control(kReloadScriptButton);
        reload->setFocus();
        t.commands.clear();
        for (const int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) sendKey(reload, key);
        EXPECT_TRUE(t.commands.empty());

        EXPECT_TRUE(w.saveScreenshot(screenshotPath(picture)));

        auto* list = static_cast<QComboBox*>(w.control(kSerialPortList));
        ASSERT_EQ(list->count(), 3);
        for (const auto& style : styles) {
            ASSERT_NE(style, nullptr);
            list->setStyle(style.get());
            list->showPopup();
            const QAbstractItemView* view = list->view();
            for (int i = 0; i < list->count(); ++i)
                EXPECT_GE(view->viewport()->width(), view->fontMetrics().horizontalAdvance(list->itemText(i)))
                    << style->name().toStdString() << ": " << list->itemText(i).toStdString();
            list->hidePopup();
        }
        for (const auto& [id, table] : fields) {
            const auto* field = static_cast<QLineEdit*>(w.control(id));
            QStyleOptionFrame frame;
            frame.initFrom(field);
            frame.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field);
            // Within its frame, a line edit keeps two pixels on either side of its text.
            const int room =
                field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field).width() - 4;
            for (const ValueRow& row : *table)
                EXPECT_LE(field->fontMetrics().horizontalAdvance(QString::fromStdString(row.name)), room)
                    << row.name;
            // The Status field, as wide, reads every state of a run whole ("Completed" too).
            if (id != kSpeedField) continue;
            auto* status = static_cast<QLineEdit*>(w.control(kStatusField));
            for (const RunStatus s : kEveryStatus) {
                w.setItemText(kStatusField, messageText(c.language, messageOf(s)));
                EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), room)
                    << status->text().toStdString();
            }
            w.setItemText(kStatusField, "");
        }

        t.click(kConnectButton);
        t.click(kStartButton);
        ASSERT_TRUE(t.program.run.running);
        EXPECT_FALSE(w.isMenuEntryEnabled(kMenuQuit)) << "no quitting during a run";
        for (const bool stop : {false, true}) {
            QString shown;
            QTimer::singleShot(0, [&shown, stop] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                shown = box->button(QMessageBox::Yes)->text() + '/' + box->button(QMessageBox::No)->text();
                box->button(stop ? QMessageBox::Yes : QMessageBox::No)->click();
            });
            t.click(kStartButton);
            EXPECT_EQ(shown.toStdString(), c.answers.toStdString());
            EXPECT_EQ(t.program.run.running, !stop);
        }

        // A script dropped from the file manager loads, whatever letters its name holds; a web address is no
        // file and is refused as it comes in.
        const std::string dropped = t.folder.write("nuit étoilée.txt", kScriptHeader + kLine);
        QMimeData web, file;
        web.setUrls({QUrl("https://example.org/night.txt")});
        file.setUrls({QUrl::fromLocalFile(QString::fromStdString(dropped))});
        for (QMimeData* data : {&web, &file}) {
            QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&w, &enter);
            EXPECT_EQ(enter.isAccepted(), data == &file);
        }
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        EXPECT_TRUE(runEventsUntil([&] { return w.windowTitle() == "Corvane - nuit étoilée"; }, 5000))
            << w.windowTitle().toStdString();
    }
}

QImage picture(QtDialogWindow& lv) {
    return lv.control(kPictureArea)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The area is black until a frame is drawn; the night scene has stars.
bool pictureDrawn(QtDialogWindow& lv) {
    const QImage shot = picture(lv);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != qRgb(0, 0, 0)) return true;
    return false;
}

TEST(LiveViewWindowOnScreen, BothSizesShowTheBodyInFitAndX5) {
    const PluggedBody body("bulb");
    ProgramWindow t(kEnglish);
    QtDialogWindow& main = t.start("-connect=\"\"");
    ASSERT_TRUE(t.program.camera.connected);
    t.click(kLiveViewButton);
    auto* lv = dynamic_cast<QtDialogWindow*>(t.program.liveView.window);
    ASSERT_NE(lv, nullptr);

    for (const DialogTemplate* size : {&SMALL_LIVE_VIEW_DIALOG, &BIG_LIVE_VIEW_DIALOG}) {
        if (std::string(size->name) != lv->objectName().toStdString()) {
            // The other size, as a screen of the other width would have it.
            t.click(kLiveViewButton);
            ASSERT_TRUE(runEventsUntil([&] { return !t.program.liveView.window; }, 5000));
            Window* other = main.openModeless(*size, [&](Window& self, const DialogMessage& m) {
                liveViewProcedure(t.program.liveViewRecords(), main, self, m);
            });
            t.program.liveView.wanted = t.program.liveView.windowShown = true;
            main.setTimer(kTimerLiveView, 333);
            lv = dynamic_cast<QtDialogWindow*>(other);
        }
        const std::string name = size == &BIG_LIVE_VIEW_DIALOG ? "big" : "small";
        ASSERT_TRUE(
            runEventsUntil([&] { return t.program.liveView.evfZoom == 1 && pictureDrawn(*lv); }, 5000));
        EXPECT_FALSE(lv->isItemEnabled(kZoomFitButton));
        lv->saveScreenshot(screenshotPath("live_view_" + name + "_fit.png"));
        const QImage fit = picture(*lv);
        press(lv->control(kZoomX5Button));
        ASSERT_TRUE(runEventsUntil([&] { return t.program.liveView.evfZoom == 5; }, 5000));
        ASSERT_TRUE(runEventsUntil([&] { return lv->isItemEnabled(kZoomFitButton); }, 5000));
        EXPECT_FALSE(lv->isItemEnabled(kZoomX5Button));
        ASSERT_TRUE(runEventsUntil([&] { return picture(*lv) != fit; }, 5000)) << "a zoomed frame drawn";
        lv->saveScreenshot(screenshotPath("live_view_" + name + "_x5.png"));
        press(lv->control(kZoomFitButton));
        ASSERT_TRUE(runEventsUntil([&] { return t.program.liveView.evfZoom == 1; }, 5000));
    }
    // Minimised, the window wants no frames; restored, it does again.
    lv->showMinimized();
    EXPECT_FALSE(t.program.liveView.windowShown);
    lv->showNormal();
    EXPECT_TRUE(t.program.liveView.windowShown);
    t.click(kLiveViewButton);
    EXPECT_TRUE(runEventsUntil([&] { return !t.program.liveView.window; }, 5000));
}

} // namespace
} // namespace orvex::test

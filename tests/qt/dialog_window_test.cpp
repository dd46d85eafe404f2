// The generic template window on the offscreen platform, driven by a procedure that records what it gets.
#include "platform/qt/dialog_window.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace orvex {
namespace {

using K = ControlKind;

enum { kButton = 10, kToggle = 11, kLabel = 12, kField = 13, kList = 14, kBar = 15 };

constexpr ControlTemplate kControls[] = {
    {kButton, K::PushButton, -1, 7, 6, 50, 14},    {kToggle, K::Toggle, -1, 7, 26, 50, 10},
    {kLabel, K::Label, -1, 62, 9, 38, 8},          {kField, K::ReadOnlyField, -1, 104, 6, 50, 14},
    {kList, K::DropDownList, -1, 104, 26, 50, 60}, {kBar, K::ProgressBar, -1, 104, 46, 50, 14},
};
constexpr DialogTemplate kDialog = {"TEST_DIALOG", 160, 66, false, false, kControls};

struct Recorder {
    std::vector<DialogMessage> messages;
    std::function<void(Window&, const DialogMessage&)> also;
    FieldColour labelColour;

    DialogProcedure procedure() {
        return [this](Window& w, const DialogMessage& m) {
            messages.push_back(m);
            if (also) also(w, m);
        };
    }
    ColourProcedure colour() {
        return [this](int id) { return id == kLabel ? labelColour : FieldColour{}; };
    }
    std::vector<int> ids(MessageKind kind) const {
        std::vector<int> result;
        for (const DialogMessage& m : messages)
            if (m.kind == kind) result.push_back(m.id);
        return result;
    }
};

bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void sendKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

TEST(QtDialogWindow, InitialisationRunsBeforeShowingWithTheControlsInPlace) {
    Recorder r;
    bool visibleDuringInit = true;
    r.also = [&](Window& w, const DialogMessage& m) {
        if (m.kind != MessageKind::Init) return;
        w.setItemText(kButton, "Go");
        visibleDuringInit = static_cast<QtDialogWindow&>(w).isVisible();
    };
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].kind, MessageKind::Init);
    EXPECT_FALSE(visibleDuringInit);
    EXPECT_EQ(window.itemText(kButton), "Go");
    EXPECT_FALSE(window.quitCode());
}

TEST(QtDialogWindow, ControlsSitWhereTheirDialogUnitsSay) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    const DialogUnits& du = window.dialogUnits();
    EXPECT_GE(du.averageCharWidth(), 4);
    EXPECT_GE(du.charHeight(), 8);
    EXPECT_EQ(window.clientArea()->size(), QSize(du.toPixelsX(160), du.toPixelsY(66)));
    EXPECT_EQ(window.control(kButton)->geometry(), du.toPixels(7, 6, 50, 14));
    EXPECT_EQ(window.control(kToggle)->geometry(), du.toPixels(7, 26, 50, 10));
    // Neighbours keep their order and gaps: the label ends before its field begins.
    EXPECT_LT(window.control(kLabel)->geometry().right(), window.control(kField)->geometry().left());
    // A drop-down list is placed by its template but keeps the height of a closed box.
    const QRect list = window.control(kList)->geometry();
    EXPECT_EQ(list.topLeft(), QPoint(du.toPixelsX(104), du.toPixelsY(26)));
    EXPECT_EQ(list.width(), du.toPixelsX(50));
    EXPECT_EQ(list.height(), window.control(kList)->sizeHint().height());
    EXPECT_LT(list.bottom(), window.control(kBar)->geometry().top());
}

TEST(QtDialogWindow, ClicksReportTheirIdAndTogglesWaitForTheProgram) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    static_cast<QPushButton*>(window.control(kButton))->click();
    auto* toggle = static_cast<QAbstractButton*>(window.control(kToggle));
    toggle->click();
    EXPECT_FALSE(window.isItemChecked(kToggle));
    window.checkItem(kToggle, true);
    toggle->click();
    EXPECT_TRUE(window.isItemChecked(kToggle));
    EXPECT_EQ(r.ids(MessageKind::Command), (std::vector<int>{kButton, kToggle, kToggle}));
}

TEST(QtDialogWindow, ListsSelectOnlyWhatTheProgramOrTheUserChooses) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    for (const char* text : {"None", "ttyS0", "ttyUSB0"}) window.listAdd(kList, text);
    EXPECT_EQ(window.listCount(kList), 3);
    EXPECT_EQ(window.listSelection(kList), -1);
    EXPECT_EQ(window.listSelectPrefix(kList, "ttyU"), 2);
    EXPECT_EQ(window.listSelectPrefix(kList, "COM"), -1);
    EXPECT_EQ(window.listSelection(kList), 2);
    EXPECT_EQ(window.itemText(kList), "ttyUSB0");
    window.listSelectIndex(kList, 0);
    EXPECT_TRUE(r.ids(MessageKind::Command).empty());
    // The user steps to the next entry with the keyboard.
    sendKey(window.control(kList), Qt::Key_Down);
    EXPECT_EQ(window.listSelection(kList), 1);
    EXPECT_EQ(r.ids(MessageKind::Command), std::vector<int>{kList});
    window.listSelectIndex(kList, 7);
    EXPECT_EQ(window.listSelection(kList), -1);
    EXPECT_EQ(window.listText(kList, 2), "ttyUSB0");
    window.listClear(kList);
    EXPECT_EQ(window.listCount(kList), 0);
}

TEST(QtDialogWindow, EscapeIsTheCancelCommandWhereverTheFocusIs) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    sendKey(window.control(kField), Qt::Key_Escape);
    sendKey(window.control(kList), Qt::Key_Escape);
    EXPECT_EQ(r.ids(MessageKind::Command), (std::vector<int>{2, 2}));
}

TEST(QtDialogWindow, TheCloseBoxOnlyAsksTheProcedure) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    window.enableClose(false);
    window.close();
    EXPECT_EQ(r.ids(MessageKind::Close).size(), 1u);
}

TEST(QtDialogWindow, TimersAndPostsReachTheProcedureInOrder) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    window.setTimer(7, 10);
    ASSERT_TRUE(pumpUntil([&] { return r.ids(MessageKind::Timer).size() >= 2; }));
    window.killTimer(7);
    QCoreApplication::processEvents();
    const std::size_t fired = r.ids(MessageKind::Timer).size();

    std::thread worker([&window] {
        for (int code = 1; code <= 50; ++code) window.post({MessageKind::User, code, {}});
    });
    worker.join();
    ASSERT_TRUE(pumpUntil([&] { return r.ids(MessageKind::User).size() == 50; }));
    for (int i = 0; i < 50; ++i) EXPECT_EQ(r.ids(MessageKind::User)[i], i + 1);
    EXPECT_EQ(r.ids(MessageKind::Timer).size(), fired);
    for (int id : r.ids(MessageKind::Timer)) EXPECT_EQ(id, 7);
}

TEST(QtDialogWindow, FieldsTakeTheColoursTheProcedureAnswers) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    QWidget* label = window.control(kLabel);
    const QColor normal = label->palette().color(QPalette::Window);
    r.labelColour = {Rgb{255, 0, 0}, Rgb{255, 255, 255}};
    window.refreshColours();
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    r.labelColour = {};
    window.setItemText(kLabel, "Status");
    EXPECT_EQ(label->palette().color(QPalette::Window), normal);

    window.setProgressColour(kBar, Rgb{0, 255, 0});
    window.setProgress(kBar, 49);
    EXPECT_EQ(window.control(kBar)->palette().color(QPalette::Highlight), QColor(0, 255, 0));
}

TEST(QtDialogWindow, MenuEntriesAreCommandsAndMayRebuildTheirOwnMenu) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    const std::vector<Menu> menus = {{"Script", {{3001, "Load"}, {0, ""}, {3013, "Quit"}}},
                                     {"?", {{3005, "About"}}}};
    // Like a change of language: the menu is rebuilt from inside one of its entries.
    r.also = [&menus](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Command && m.id == 3001) w.setMenu(menus);
    };
    window.setMenu(menus);
    const int heightWithoutMenu = window.clientArea()->height();
    window.adjustSize();
    EXPECT_GT(window.height(), heightWithoutMenu);
    window.enableMenuEntry(3013, false);
    EXPECT_FALSE(window.isMenuEntryEnabled(3013));
    EXPECT_TRUE(window.isMenuEntryEnabled(3005));
    EXPECT_FALSE(window.isMenuEntryEnabled(4242));

    auto trigger = [&window](const QString& text) {
        for (QAction* action : window.findChildren<QAction*>())
            if (action->text() == text && action->isEnabled()) {
                action->trigger();
                return;
            }
    };
    trigger("Load");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    trigger("About");
    trigger("Quit"); // greyed in the old menu, enabled again in the new one
    EXPECT_EQ(r.ids(MessageKind::Command), (std::vector<int>{3001, 3005, 3013}));
}

TEST(QtDialogWindow, MessageBoxesShowLineBreaksAndReturnTheAnswer) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    QString shown;
    QTimer::singleShot(0, [&shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(
        window.messageBox("Confirm ?\r<b>night</b>", "Abort capture", BoxIcon::Question, BoxButtons::YesNo),
        BoxAnswer::Yes);
    EXPECT_EQ(shown, QStringLiteral("Confirm ?\n<b>night</b>"));
}

TEST(QtDialogWindow, TitlesKeepQtMarksAsText) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    window.setTitle("Orvex - a[*]b");
    window.show();
    EXPECT_EQ(window.title(), "Orvex - a[*]b");
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->title(), QStringLiteral("Orvex - a[*]b"));
}

TEST(QtDialogWindow, DroppedFilesArePostedOnlyWhileAccepted) {
    Recorder r;
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    window.show();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/night sky.txt"), QUrl("https://example.org/x.txt")});
    // As the window system delivers a drag: to the window, over the read-only field.
    const QPoint over = window.control(kField)->geometry().center() + window.clientArea()->pos();
    auto drag = [&] {
        QDragEnterEvent enter(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.windowHandle(), &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(over, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.windowHandle(), &drop);
        QCoreApplication::processEvents();
        return true;
    };
    EXPECT_FALSE(drag());
    window.acceptDrops(true);
    EXPECT_TRUE(drag());
    ASSERT_EQ(r.ids(MessageKind::Drop).size(), 1u);
    EXPECT_EQ(r.messages.back().files, std::vector<std::string>{"/tmp/night sky.txt"});
}

TEST(QtDialogWindow, AWindowDestroyedDuringInitialisationStaysGone) {
    Recorder r;
    r.also = [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.destroyAndQuit(3);
    };
    QtDialogWindow window(kDialog, r.procedure(), r.colour());
    EXPECT_EQ(window.quitCode(), 3);
    window.show();
    EXPECT_FALSE(window.isVisible());
    window.post({MessageKind::User, 1, {}});
    QCoreApplication::processEvents();
    EXPECT_EQ(r.messages.size(), 1u);
}

} // namespace
} // namespace orvex

// The generic template window on the offscreen platform, driven by a procedure that records what it gets;
// modal dialogs built from templates and message boxes, and the camera choice dialog in one.
#include "tests/qt/program_window.h"

#include <QComboBox>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>

#include <chrono>
#include <numeric>
#include <thread>
#include <tuple>

namespace orvex::test {
namespace {

using K = ControlKind;

enum { kButton = 10, kToggle = 11, kLabel = 12, kField = 13, kList = 14, kBar = 15, kDefault = 16 };

constexpr ControlTemplate kControls[] = {
    {kButton, K::PushButton, -1, 7, 6, 50, 14},
    {kToggle, K::Toggle, -1, 7, 26, 50, 10},
    {kLabel, K::Label, -1, 62, 9, 38, 8},
    {kField, K::ReadOnlyField, -1, 104, 6, 50, 14},
    {kList, K::DropDownList, -1, 104, 26, 50, 60},
    {kBar, K::ProgressBar, -1, 104, 46, 50, 14},
    {kDefault, K::PushButton, -1, 7, 46, 50, 14, kStyleDefaultButton},
};
constexpr DialogTemplate kDialog = {"TEST_DIALOG", 160, 66, false, false, kControls};

// A window whose procedure records every message, then runs `also`; its label takes `labelColour`.
struct Recorded {
    std::vector<DialogMessage> messages;
    std::function<void(Window&, const DialogMessage&)> also;
    FieldColour labelColour;
    bool shownAtInit = true;
    QtDialogWindow window{kDialog,
                          [this](Window& w, const DialogMessage& m) {
                              messages.push_back(m);
                              if (m.kind == MessageKind::Init)
                                  shownAtInit = static_cast<QtDialogWindow&>(w).isVisible();
                              if (also) also(w, m);
                          },
                          [this](int id) { return id == kLabel ? labelColour : FieldColour{}; }};

    std::vector<int> ids(MessageKind kind) const {
        std::vector<int> result;
        for (const DialogMessage& m : messages)
            if (m.kind == kind) result.push_back(m.id);
        return result;
    }
};

TEST(QtDialogWindow, InitialisationRunsBeforeShowingControlsSitWhereTheirDialogUnitsSayAndFieldsAreColoured) {
    Recorded r;
    EXPECT_EQ(r.ids(MessageKind::Init).size(), 1u);
    EXPECT_FALSE(r.shownAtInit);
    const DialogUnits& du = r.window.dialogUnits();
    EXPECT_EQ(r.window.clientArea()->size(), QSize(du.toPixelsX(160), du.toPixelsY(66)));
    EXPECT_EQ(r.window.control(kButton)->geometry(), du.toPixels(7, 6, 50, 14));
    // A drop-down list is placed by its template but keeps the height of a closed box.
    const QRect list = r.window.control(kList)->geometry();
    EXPECT_EQ(list, QRect(du.toPixelsX(104), du.toPixelsY(26), du.toPixelsX(50),
                          r.window.control(kList)->sizeHint().height()));
    EXPECT_LT(list.bottom(), r.window.control(kBar)->geometry().top());
    // Fields take the colours the procedure answers.
    QWidget* label = r.window.control(kLabel);
    const QRect box = label->geometry();
    const QColor normal = label->palette().color(QPalette::Window);
    r.labelColour = {Rgb{255, 0, 0}, Rgb{255, 255, 255}};
    r.window.refreshColours();
    EXPECT_EQ(label->palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    r.labelColour = {};
    r.window.setItemText(kLabel, "Status"); // a new text asks again
    EXPECT_EQ(label->palette().color(QPalette::Window), normal);
    r.window.setProgressColour(kBar, Rgb{0, 255, 0});
    EXPECT_EQ(r.window.control(kBar)->palette().color(QPalette::Highlight), QColor(0, 255, 0));
    // A caption too long for its box, as a French one in a box drawn for English, keeps its end against what
    // it names and shows its first letters; a short one keeps the template's box.
    for (const auto& [text, fits] : {std::pair{"Préfixe fichier image", false}, {"Fin", true}}) {
        SCOPED_TRACE(text);
        r.window.setItemText(kLabel, text);
        EXPECT_EQ(label->geometry().right(), box.right());
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_EQ(label->geometry() == box, fits);
    }
    // A field's text too long for it is offered whole on hover.
    for (const auto& [text, tip] : {std::pair{"Camera switched off or unplugged", true}, {"Error", false}}) {
        r.window.setItemText(kField, text);
        EXPECT_EQ(r.window.control(kField)->toolTip(), tip ? text : "") << text;
    }
}

TEST(QtDialogWindow, UserActionsReachTheProcedureWithTheirId) {
    Recorded r;
    r.window.show();
    for (const char* text : {"None", "ttyS0", "ttyUSB0"}) r.window.listAdd(kList, text);
    r.window.listSelectIndex(kList, 0);
    EXPECT_TRUE(r.ids(MessageKind::Command).empty()) << "the program's own choice is no command";
    using M = MessageKind;
    const auto key = [&r](int id, int k) { return [&r, id, k] { sendKey(r.window.control(id), k); }; };
    const auto click = [&r](int id) { return [&r, id] { press(r.window.control(id)); }; };
    const std::tuple<std::function<void()>, MessageKind, int> actions[] = {
        {click(kButton), M::Command, kButton},
        {click(kToggle), M::Command, kToggle},
        {key(kList, Qt::Key_Down), M::Command, kList},
        {key(kField, Qt::Key_Escape), M::Command, kCancelCommand},
        {key(kList, Qt::Key_Escape), M::Command, kCancelCommand},
        // Keys press no button but the template's default one, which Return presses from anywhere.
        {key(kButton, Qt::Key_Return), M::Command, kDefault},
        {key(kList, Qt::Key_Enter), M::Command, kDefault},
        {key(kButton, Qt::Key_Space), M::Init, -1},
        {key(kDefault, Qt::Key_Space), M::Init, -1},
        {[&] { r.window.enableItem(kDefault, false), key(kButton, Qt::Key_Return)(); }, M::Init, -1},
        {[&] { EXPECT_FALSE(r.window.close()) << "the close box only asks"; }, M::Close, 0},
    };
    for (const auto& [act, kind, id] : actions) { // -1: no message
        r.messages.clear();
        act();
        EXPECT_EQ(r.messages.size(), id < 0 ? 0u : 1u);
        for (const DialogMessage& m : r.messages) EXPECT_EQ(std::pair(m.kind, m.id), std::pair(kind, id));
    }
    EXPECT_FALSE(r.window.isItemChecked(kToggle)) << "a toggle waits for the program to check it";
    r.window.enableClose(false);
    r.window.close();
    EXPECT_TRUE(r.window.isVisible());
    EXPECT_EQ(r.ids(MessageKind::Close).size(), 1u);
}

TEST(QtDialogWindow, TimersAndPostsFromOtherThreadsReachTheProcedureInOrderAndTicksFollowTheTimeOfDay) {
    Recorded r;
    r.window.setTimer(7, 10);
    ASSERT_TRUE(runEventsUntil([&] { return r.ids(MessageKind::Timer).size() >= 2; }, 3000));
    r.window.killTimer(7);
    QCoreApplication::processEvents();
    const std::size_t fired = r.ids(MessageKind::Timer).size();
    std::vector<int> codes(50);
    std::iota(codes.begin(), codes.end(), 1);
    std::thread([&] {
        for (int code : codes) r.window.post({MessageKind::User, code, {}});
    }).join();
    ASSERT_TRUE(runEventsUntil([&] { return r.ids(MessageKind::User).size() == 50; }, 3000));
    EXPECT_EQ(r.ids(MessageKind::User), codes);
    EXPECT_EQ(r.ids(MessageKind::Timer), std::vector<int>(fired, 7)) << "only timer 7, quiet once killed";

    // Started afresh, a timer ticks just after whole steps of the time of day (a wait for 21:00:00 ends just
    // after it begins), however out of step with them it was started. Told by order, not by time: its first
    // tick comes before a timer due 5 ms after the step, where a timer counting from its own start, started
    // more than 5 ms into the step, would come after it. Qt fires due timers in the order they fall due, so a
    // busy machine changes nothing.
    using namespace std::chrono;
    std::string order;
    r.also = [&order](Window&, const DialogMessage& m) { order += m.kind == MessageKind::Timer ? "T" : ""; };
    const auto untilStep = [] {
        return 50ms - duration_cast<milliseconds>(system_clock::now().time_since_epoch() % 50ms);
    };
    for (const int startedAfter : {0, 25}) { // the second start comes about 30 ms into a step
        order.clear();
        QTimer::singleShot(startedAfter, Qt::PreciseTimer, [&] {
            r.window.setTimer(7, 50);
            QTimer::singleShot(untilStep() + 5ms, Qt::PreciseTimer, [&order] { order += 'R'; });
        });
        ASSERT_TRUE(runEventsUntil([&order] { return order.find('R') != std::string::npos; }, 3000));
        r.window.killTimer(7);
        EXPECT_EQ(order, "TR") << "started " << startedAfter << " ms after the last reference";
    }
}

constexpr ControlTemplate kModalControls[] = {{kOkCommand, ControlKind::PushButton, -1, 7, 29, 50, 14}};
constexpr DialogTemplate kModal = {"TEST_MODAL", 120, 50, true, false, kModalControls};

void nothing(Window&, const DialogMessage&) {}

// Only its procedure ends a modal dialog, whose result is returned; one ended during its initialisation is
// never shown; a message box keeps the program's line breaks and returns the answer. A window taller than the
// screen does not fit (its height counts too) and scrolls inside one that does: its lowest button, OK, is
// within reach, in a modal dialog and in a window of its own alike.
TEST(QtModalDialog, OnlyItsProcedureEndsItNoneIsShownEndedNorAnAnswerLostAndOneTooTallScrolls) {
    QtDialogWindow owner(MAIN_DIALOG, nothing, {});
    owner.show();
    std::vector<int> commands;
    const auto procedure = [&commands](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.setItemText(kOkCommand, "OK");
        if (m.kind != MessageKind::Command) return;
        commands.push_back(m.id);
        if (m.id == kOkCommand) w.endDialog(7);
    };
    whenModal(&owner, [&owner](QDialog& dialog) {
        EXPECT_EQ(dialog.parentWidget(), &owner) << "over the window that asked";
        sendKey(dialog.focusWidget() ? dialog.focusWidget() : &dialog, Qt::Key_Escape);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible()) << "Escape and the close box only ask the procedure";
        QPushButton* ok = findButton(dialog, "OK");
        ASSERT_NE(ok, nullptr) << "named by the initialisation";
        ok->click();
    });
    EXPECT_EQ(owner.runModal(kModal, procedure), 7);
    EXPECT_EQ(commands, (std::vector<int>{kCancelCommand, kCancelCommand, kOkCommand}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    bool shown = false;
    QTimer::singleShot(0, &owner, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->done(-1);
        }
    });
    const auto ending = [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.endDialog(kOkCommand);
    };
    EXPECT_EQ(owner.runModal(kModal, ending), kOkCommand);
    QApplication::processEvents();
    EXPECT_FALSE(shown);

    QString text;
    QTimer::singleShot(0, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        text = box->text();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(owner.messageBox("Stop ?\r<b>night</b>", "Abort", BoxIcon::Question, BoxButtons::YesNo),
              BoxAnswer::Yes);
    EXPECT_EQ(text, QStringLiteral("Stop ?\n<b>night</b>"));

    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const int height = room.height() * 16 / owner.dialogUnits().charHeight(); // two screens
    const ControlTemplate controls[] = {{kOkCommand, ControlKind::PushButton, -1, 7, height - 20, 50, 14}};
    const DialogTemplate tall = {"TALL", 120, height, false, false, controls};
    EXPECT_TRUE(owner.fitsOnScreen(kModal));
    EXPECT_FALSE(owner.fitsOnScreen(tall));
    const auto reachable = [&room](QWidget& window) {
        EXPECT_LE(window.frameGeometry().height(), room.height());
        auto* area = window.findChild<QScrollArea*>();
        ASSERT_NE(area, nullptr);
        QPushButton* ok = area->widget()->findChild<QPushButton*>();
        area->ensureWidgetVisible(ok);
        EXPECT_FALSE(ok->visibleRegion().isEmpty());
    };
    whenModal(&owner, [&reachable](QDialog& d) { reachable(d), d.done(0); });
    owner.runModal(tall, nothing);
    auto* own = dynamic_cast<QtDialogWindow*>(owner.openModeless(tall, nothing));
    ASSERT_NE(own, nullptr);
    reachable(*own);
    own->destroy();
}

// The camera choice dialog, opened by the main window's Connect button: with no body only Cancel is left;
// with two, the one chosen is connected.
TEST(QtConnectDialog, OffersTheCamerasFoundAndConnectsTheOneChosen) {
    std::vector<std::unique_ptr<PluggedBody>> bodies; // outlive the program's connection
    ProgramWindow t(kEnglish);
    QtDialogWindow& window = t.start();
    whenModal(&window, [](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>()->currentText(), "(No camera found)");
        EXPECT_FALSE(findButton(dialog, "OK")->isEnabled()) << "only Cancel is left";
        dialog.grab().save(screenshotPath("connect_dialog_no_camera.png"), "PNG");
        sendKey(dialog.findChild<QComboBox*>(), Qt::Key_Escape);
    });
    t.click(kConnectButton);
    EXPECT_FALSE(t.program.camera.connected || t.program.camera.connectDialogOpen);
    for (const char* preset : {"no-liveview", "burst"})
        bodies.push_back(std::make_unique<PluggedBody>(preset));
    whenModal(&window, [](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>();
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->itemText(1), "2 - Canon EOS 30D");
        dialog.grab().save(screenshotPath("connect_dialog.png"), "PNG");
        list->setCurrentIndex(1);
        list->setFocus();
        sendKey(list, Qt::Key_Return); // the default button
    });
    t.click(kConnectButton);
    ASSERT_TRUE(t.program.camera.connected);
    EXPECT_EQ(window.itemText(kCameraField), "2 - Canon EOS 30D") << "the second body's session";
}

} // namespace
} // namespace orvex::test

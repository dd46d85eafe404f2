// Modal dialogs built from templates, and the camera choice dialog in one, on the offscreen platform.
#include "camera/camera_connection.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "platform/qt/dialog_window.h"
#include "resources/connect_dialog.h"
#include "resources/main_dialog.h"
#include "tests/support/fake_camera.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace orvex {
namespace {

using K = ControlKind;

enum { kList = 10 };

constexpr ControlTemplate kControls[] = {
    {kList, K::DropDownList, -1, 7, 7, 100, 60},
    {kOkCommand, K::PushButton, -1, 7, 29, 50, 14},
    {kCancelCommand, K::PushButton, -1, 61, 29, 50, 14},
};
constexpr DialogTemplate kModal = {"TEST_MODAL", 120, 50, true, false, kControls};

void nothing(Window&, const DialogMessage&) {}

// Acts in the modal dialog once its event loop runs; the dialog is the active modal widget then. A dialog
// the action failed to end is ended a little later, so that a failing test does not hang; the context (the
// test's window) takes that rescue with it when it goes.
void whenModal(QObject* context, const std::function<void(QDialog&)>& act) {
    QTimer::singleShot(0, context, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
    QTimer::singleShot(5000, context, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->done(-1);
        }
    });
}

QPushButton* button(QDialog& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

void saveScreenshot(QDialog& dialog, const char* name) {
    QDir().mkpath(ORVEX_SCREENSHOT_DIR);
    dialog.grab().save(QString(ORVEX_SCREENSHOT_DIR) + "/" + name, "PNG");
}

struct Recorder {
    std::vector<DialogMessage> messages;
    std::function<void(Window&, const DialogMessage&)> also;
    DialogProcedure procedure() {
        return [this](Window& w, const DialogMessage& m) {
            messages.push_back(m);
            if (also) also(w, m);
        };
    }
    std::vector<int> commands() const {
        std::vector<int> ids;
        for (const DialogMessage& m : messages)
            if (m.kind == MessageKind::Command) ids.push_back(m.id);
        return ids;
    }
};

TEST(QtModalDialog, EndsWhenItsProcedureSaysAndReturnsTheResult) {
    QtDialogWindow owner(MAIN_DIALOG, nothing, {});
    owner.show();
    Recorder r;
    r.also = [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) {
            w.setTitle("Choose");
            w.listAdd(kList, "first");
            w.listAdd(kList, "second");
            w.listSelectIndex(kList, 0);
            w.setItemText(kOkCommand, "OK");
        }
        if (m.kind == MessageKind::Command && m.id == kOkCommand) w.endDialog(7);
    };
    whenModal(&owner, [&owner](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Choose");
        EXPECT_TRUE(dialog.isModal());
        EXPECT_EQ(dialog.parentWidget(), &owner) << "over the window that asked";
        button(dialog, "OK")->click();
    });
    EXPECT_EQ(owner.runModal(kModal, r.procedure()), 7);
    EXPECT_EQ(r.messages.front().kind, MessageKind::Init);
    EXPECT_EQ(r.commands(), std::vector<int>{kOkCommand});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtModalDialog, EscapeAndTheCloseBoxOnlyAskTheProcedure) {
    QtDialogWindow owner(MAIN_DIALOG, nothing, {});
    owner.show();
    Recorder r;
    r.also = [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.setItemText(kOkCommand, "OK");
        if (m.kind == MessageKind::Command && m.id == kOkCommand) w.endDialog(kOkCommand);
    };
    whenModal(&owner, [](QDialog& dialog) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog.focusWidget() ? dialog.focusWidget() : &dialog, &escape);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible()) << "the procedure did not end it";
        button(dialog, "OK")->click();
    });
    EXPECT_EQ(owner.runModal(kModal, r.procedure()), kOkCommand);
    EXPECT_EQ(r.commands(), (std::vector<int>{kCancelCommand, kCancelCommand, kOkCommand}));
}

TEST(QtModalDialog, ADialogEndedDuringItsInitialisationIsNeverShown) {
    QtDialogWindow owner(MAIN_DIALOG, nothing, {});
    bool shown = false;
    QTimer::singleShot(0, &owner, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->done(-1);
        }
    });
    const int result = owner.runModal(kModal, [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.endDialog(kOkCommand);
    });
    EXPECT_EQ(result, kOkCommand);
    QApplication::processEvents();
    EXPECT_FALSE(shown);
}

class QtConnectDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        sdk::registerCameraDriver(driver);
        window.show();
    }
    void TearDown() override {
        if (program.camera.connected) disconnectCamera(program, window);
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }

    VirtualClock clock;
    NoSerialPorts ports;
    Program program{clock, ports};
    QtDialogWindow window{MAIN_DIALOG, nothing, {}};
    std::shared_ptr<test::FakeCameraDriver> driver = std::make_shared<test::FakeCameraDriver>();
};

TEST_F(QtConnectDialog, TheUserPicksTheSecondOfTwoCameras) {
    driver->add("Canon EOS 60D");
    auto second = driver->add("Canon EOS 60D");
    whenModal(&window, [](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Connect camera");
        auto* list = dialog.findChild<QComboBox*>();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->itemText(1), "2 - Canon EOS 60D");
        EXPECT_EQ(list->currentIndex(), 0);
        ASSERT_NE(button(dialog, "Cancel"), nullptr);
        saveScreenshot(dialog, "connect_dialog.png");
        list->setCurrentIndex(1);
        button(dialog, "OK")->click();
    });
    connectCamera(program, window);
    ASSERT_TRUE(program.camera.connected);
    EXPECT_TRUE(second->open);
    EXPECT_EQ(window.itemText(kCameraField), "2 - Canon EOS 60D");
}

TEST_F(QtConnectDialog, ReturnInTheListPressesOk) {
    driver->add("Canon EOS 7D");
    driver->add("Canon EOS 5D Mark III");
    whenModal(&window, [](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>();
        list->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(list, &enter);
    });
    connectCamera(program, window);
    EXPECT_EQ(program.camera.name, "1 - Canon EOS 7D");
}

TEST_F(QtConnectDialog, WithoutCamerasOnlyCancelIsLeft) {
    whenModal(&window, [](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>();
        EXPECT_EQ(list->currentText(), "(No camera found)");
        EXPECT_FALSE(button(dialog, "OK")->isEnabled());
        saveScreenshot(dialog, "connect_dialog_no_camera.png");
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(list, &escape);
    });
    connectCamera(program, window);
    EXPECT_FALSE(program.camera.connected);
    EXPECT_FALSE(program.camera.connectDialogOpen);
}

} // namespace
} // namespace orvex

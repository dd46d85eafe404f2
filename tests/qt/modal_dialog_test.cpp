// Modal dialogs built from templates, and the camera choice dialog in one, on the offscreen platform.
#include "app/camera_link.h"
#include "camera/camera_connection.h"
#include "sdk/virtual/virtual_camera.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/virtual_clock.h"
#include "resources/connect_dialog.h"
#include "tests/qt/program_window.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace orvex {
namespace {

using test::screenshotPath;
using test::sendKey;

constexpr ControlTemplate kControls[] = {{kOkCommand, ControlKind::PushButton, -1, 7, 29, 50, 14}};
constexpr DialogTemplate kModal = {"TEST_MODAL", 120, 50, true, false, kControls};

void nothing(Window&, const DialogMessage&) {}

// Acts in the modal dialog once its event loop runs. A dialog the action failed to end is ended later, so
// that a failing test does not hang; the context (the test's window) takes that rescue with it when it
// goes.
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

TEST(QtModalDialog, OnlyItsProcedureEndsItAndTheResultIsReturned) {
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
        QPushButton* ok = button(dialog, "OK");
        ASSERT_NE(ok, nullptr) << "named by the initialisation";
        ok->click();
    });
    EXPECT_EQ(owner.runModal(kModal, procedure), 7);
    EXPECT_EQ(commands, (std::vector<int>{kCancelCommand, kCancelCommand, kOkCommand}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtModalDialog, ADialogEndedDuringItsInitialisationIsNeverShown) {
    QtDialogWindow owner(MAIN_DIALOG, nothing, {});
    const auto procedure = [](Window& w, const DialogMessage& m) {
        if (m.kind == MessageKind::Init) w.endDialog(kOkCommand);
    };
    bool shown = false;
    QTimer::singleShot(0, &owner, [&shown] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            shown = true;
            dialog->done(-1);
        }
    });
    EXPECT_EQ(owner.runModal(kModal, procedure), kOkCommand);
    QApplication::processEvents();
    EXPECT_FALSE(shown);
}

class QtConnectDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(EdsInitializeSDK(), EDS_ERR_OK);
        window.show();
    }
    void TearDown() override {
        if (program.camera.connected) disconnectCamera(program, window);
        EdsTerminateSDK();
        for (const auto& body : bodies) sdk::unregisterCameraDriver(body);
    }
    void plugIn(const char* preset) {
        bodies.push_back(makeVirtualCamera(*virtualPreset(preset), clock, clock));
        sdk::registerCameraDriver(bodies.back());
    }

    VirtualClock clock;
    NoSerialPorts ports;
    Program program{clock, ports};
    QtDialogWindow window{MAIN_DIALOG, nothing, {}};
    std::vector<std::shared_ptr<VirtualCameraDriver>> bodies;
};

TEST_F(QtConnectDialog, OffersTheCamerasFoundAndConnectsTheOneChosen) {
    whenModal(&window, [](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QComboBox*>()->currentText(), "(No camera found)");
        EXPECT_FALSE(button(dialog, "OK")->isEnabled()) << "only Cancel is left";
        dialog.grab().save(QString::fromStdString(screenshotPath("connect_dialog_no_camera.png")), "PNG");
        sendKey(dialog.findChild<QComboBox*>(), Qt::Key_Escape);
    });
    connectCamera(program, window);
    EXPECT_FALSE(program.camera.connected);
    EXPECT_FALSE(program.camera.connectDialogOpen);

    plugIn("no-liveview");
    plugIn("burst");
    whenModal(&window, [](QDialog& dialog) {
        auto* list = dialog.findChild<QComboBox*>();
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->itemText(1), "2 - Canon EOS 30D");
        dialog.grab().save(QString::fromStdString(screenshotPath("connect_dialog.png")), "PNG");
        list->setCurrentIndex(1);
        list->setFocus();
        sendKey(list, Qt::Key_Return); // the default button
    });
    connectCamera(program, window);
    ASSERT_TRUE(program.camera.connected);
    EXPECT_EQ(window.itemText(kCameraField), "2 - Canon EOS 30D") << "the second body's session";
}

} // namespace
} // namespace orvex

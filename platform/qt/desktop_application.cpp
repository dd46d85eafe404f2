#include "platform/desktop_application.h"

#include "platform/qt/desktop_shell.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_serial_ports.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace orvex {
namespace {

// Every 300 ms, for up to ten seconds.
constexpr int kScreenshotLooks = 33;

} // namespace

struct DesktopApplication::Parts {
    Parts(int& argc, char** argv) : application(argc, argv), arguments(argv + 1, argv + argc) {}
    QApplication application;
    std::vector<std::string> arguments;
    SystemClock clock;
    ThreadScheduler scheduler;
    QtSerialPorts serialPorts;
    DesktopShell shell;
};

DesktopApplication::DesktopApplication(int& argc, char** argv) : parts_(std::make_unique<Parts>(argc, argv)) {
    // Only the main window's procedure decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(programIcon());
}

DesktopApplication::~DesktopApplication() = default;

const std::vector<std::string>& DesktopApplication::arguments() const {
    return parts_->arguments;
}
Clock& DesktopApplication::clock() {
    return parts_->clock;
}
Scheduler& DesktopApplication::scheduler() {
    return parts_->scheduler;
}
SerialPorts& DesktopApplication::serialPorts() {
    return parts_->serialPorts;
}
Shell& DesktopApplication::shell() {
    return parts_->shell;
}

void DesktopApplication::showError(const std::string& caption, const std::string& text) {
    QMessageBox::critical(nullptr, QString::fromStdString(caption), QString::fromStdString(text));
}

int DesktopApplication::run(const DialogTemplate& dialog, DialogProcedure procedure, ColourProcedure colour,
                            std::function<AnswerTexts()> answerTexts, const ScreenshotRequest& screenshot) {
    const QString path = QString::fromStdString(screenshot.path);
    bool saved = false;
    // A box that comes up in front of the window, as a refusal at start does (even before the window is
    // shown), is the picture instead of the window.
    bool boxTaken = false;
    QTimer boxWatch;
    if (!path.isEmpty() && !screenshot.dialogCommand) {
        QObject::connect(&boxWatch, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            boxWatch.stop();
            boxTaken = true;
            saved = box->grab().save(path, "PNG");
            box->close();
        });
        boxWatch.start(100);
    }
    QtDialogWindow window(dialog, std::move(procedure), std::move(colour), std::move(answerTexts));
    if (const auto code = window.quitCode()) return *code;
    window.show();
    if (!path.isEmpty() && screenshot.dialogCommand) {
        // A modal dialog runs its own loop inside the command; it is grabbed from there, then cancelled. A
        // window of its own (the live view) is grabbed once its first frames have come, then closed with the
        // program.
        const auto grab = [&window, &saved, path](QWidget* opened) {
            saved = opened && opened->grab().save(path, "PNG");
            if (opened && QApplication::activeModalWidget() == opened) opened->close();
            window.post({MessageKind::Close, 0, {}});
            if (!saved) qWarning("Could not save the screenshot to %s", qPrintable(path));
        };
        QTimer::singleShot(200, &window, [&window, grab, command = *screenshot.dialogCommand] {
            // Looked for again for a while: the plan's window comes once its rehearsal is over.
            auto* watch = new QTimer(&window);
            QObject::connect(watch, &QTimer::timeout, &window, [&window, grab, watch, looks = 0]() mutable {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    watch->stop();
                    return grab(modal);
                }
                QWidget* opened = nullptr;
                for (QWidget* other : QApplication::topLevelWidgets())
                    if (other != &window && other->isVisible() && qobject_cast<QtDialogWindow*>(other))
                        opened = other;
                // The plan's rehearsal under way shows the wait cursor: however long it takes, it is waited
                // for.
                if (!opened && (QApplication::overrideCursor() || ++looks < kScreenshotLooks)) return;
                watch->stop();
                // Guarded: the window may go before its frames come.
                QTimer::singleShot(1500, &window,
                                   [grab, opened = QPointer<QWidget>(opened)] { grab(opened); });
            });
            watch->start(300);
            window.post({MessageKind::Command, command, {}});
        });
    } else if (!path.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            boxWatch.stop();
            if (!boxTaken) saved = window.saveScreenshot(path);
            if (!saved) qWarning("Could not save the screenshot to %s", qPrintable(path));
            if (screenshot.beforeClosing) screenshot.beforeClosing(window);
            window.post({MessageKind::Close, 0, {}});
        });
    }
    const int code = QApplication::exec();
    return path.isEmpty() || saved ? code : 1;
}

} // namespace orvex

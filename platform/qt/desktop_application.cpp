#include "platform/desktop_application.h"

#include "platform/qt/desktop_shell.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_serial_ports.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace orvex {

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
    QtDialogWindow window(dialog, std::move(procedure), std::move(colour), std::move(answerTexts));
    if (const auto code = window.quitCode()) return *code;
    window.show();
    const QString path = QString::fromStdString(screenshot.path);
    bool saved = false;
    if (!path.isEmpty() && screenshot.dialogCommand) {
        // The dialog runs its own loop inside the command; it is grabbed from there, then cancelled.
        QTimer::singleShot(200, &window, [&window, &saved, path, command = *screenshot.dialogCommand] {
            QTimer::singleShot(300, &window, [&window, &saved, path] {
                QWidget* opened = QApplication::activeModalWidget();
                saved = opened && opened->grab().save(path, "PNG");
                if (opened) opened->close();
                window.post({MessageKind::Close, 0, {}});
                if (!saved) qWarning("Could not save the screenshot to %s", qPrintable(path));
            });
            window.post({MessageKind::Command, command, {}});
        });
    } else if (!path.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            saved = window.saveScreenshot(path);
            if (!saved) qWarning("Could not save the screenshot to %s", qPrintable(path));
            if (screenshot.beforeClosing) screenshot.beforeClosing(window);
            window.post({MessageKind::Close, 0, {}});
        });
    }
    const int code = QApplication::exec();
    return path.isEmpty() || saved ? code : 1;
}

} // namespace orvex

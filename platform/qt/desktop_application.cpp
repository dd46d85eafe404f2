#include "platform/desktop_application.h"

#include "platform/interrupt_watch.h"
#include "platform/qt/desktop_shell.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_serial_ports.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace orvex {
namespace {

// Every 300 ms, for up to ten seconds.
constexpr int kScreenshotLooks = 33;

// Ctrl-C, SIGTERM (a logout, a shutdown, kill) and SIGHUP reach the event loop through this pipe: the
// handler, on whichever thread the system picks, only writes to it. A program started from here gets them as
// usual.
int endingPipe[2] = {-1, -1};

void onEndingSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(endingPipe[1], &byte, 1);
}

// Without a pipe the signals keep their usual effect. A signal the program was started ignoring (nohup) stays
// so.
void listenForEndingSignals() {
    if (::pipe2(endingPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    for (const int s : heededEndingSignals()) {
        struct sigaction handler {};
        handler.sa_handler = onEndingSignal;
        handler.sa_flags = SA_RESTART;
        sigemptyset(&handler.sa_mask);
        sigaction(s, &handler, nullptr);
    }
}

} // namespace

struct DesktopApplication::Parts {
    Parts(int& argc, char** argv) : application(argc, argv), arguments(argv + 1, argv + argc) {}
    QApplication application;
    std::vector<std::string> arguments;
    SystemClock clock;
    ThreadScheduler scheduler;
    QtSerialPorts serialPorts;
    DesktopShell shell;
    // Asked to end from outside, counted from the start: a box may be up before the window's loop runs.
    // What that loop does about it, once it runs.
    std::unique_ptr<QSocketNotifier> ending;
    int endings = 0;
    std::function<void()> onEnding;
};

DesktopApplication::DesktopApplication(int& argc, char** argv) : parts_(std::make_unique<Parts>(argc, argv)) {
    // Only the main window's procedure decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    // From the start: a run the command line starts may begin before the window's loop does. A signal until
    // then waits in the pipe, unless a box's own loop takes it: nobody may be there to answer the box, which
    // the window's initialisation or the program's start may show.
    listenForEndingSignals();
    if (const int pipe = endingPipe[0]; pipe >= 0) {
        Parts* parts = parts_.get();
        const auto asked = [parts, pipe] {
            char bytes[16];
            while (::read(pipe, bytes, sizeof bytes) > 0) {
            }
            ++parts->endings;
            QtDialogWindow::answerBoxesAlone();
            while (QWidget* box = QApplication::activeModalWidget()) box->close();
            if (parts->onEnding) parts->onEnding();
        };
        parts->ending = std::make_unique<QSocketNotifier>(pipe, QSocketNotifier::Read);
        QObject::connect(parts->ending.get(), &QSocketNotifier::activated, parts->ending.get(), asked);
    }
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
    if (QtDialogWindow::toldAlone(text, caption)) return;
    QMessageBox::critical(nullptr, QString::fromStdString(caption), QString::fromStdString(text));
    QtDialogWindow::toldAlone(text, caption);
}

int DesktopApplication::run(const DialogTemplate& dialog, DialogProcedure procedure, ColourProcedure colour,
                            std::function<AnswerTexts()> answerTexts, const ScreenshotRequest& screenshot,
                            std::function<bool(Window&, bool)> endRun) {
    const QString path = QString::fromStdString(screenshot.path);
    bool saved = false;
    // A box that comes up in front of the window, as a refusal at start does (even before the window is
    // shown), is the picture instead of the window, or of the dialog not opened yet. Nobody is in front of
    // the screen to close it, nor the boxes that follow it.
    bool taken = false;
    QTimer boxWatch;
    if (!path.isEmpty()) {
        QObject::connect(&boxWatch, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            if (!taken) saved = box->grab().save(path, "PNG");
            taken = true;
            box->close();
        });
        boxWatch.start(100);
    }
    QtDialogWindow window(dialog, std::move(procedure), std::move(colour), std::move(answerTexts));
    // The dialog's own watch takes the boxes from here.
    if (screenshot.dialogCommand && !taken) boxWatch.stop();
    if (const auto code = window.quitCode()) return *code;
    window.show();
    // Asked to end from outside: what a run holds is let go. The run may first finish its shot, looked at
    // again until it has; asked again, it ends at once.
    QTimer endWatch;
    const auto tryToEnd = [&] {
        if (!endRun(window, parts_->endings > 1)) {
            endWatch.start(50);
            return;
        }
        endWatch.stop();
        window.post({MessageKind::Close, 0, {}});
    };
    QObject::connect(&endWatch, &QTimer::timeout, &window, tryToEnd);
    // Once the boxes' own loops have returned.
    parts_->onEnding = [&] { QTimer::singleShot(0, &window, tryToEnd); };
    // Asked during the initialisation, whose boxes were closed then: it ends now that it can.
    if (parts_->endings > 0) parts_->onEnding();
    if (!path.isEmpty() && screenshot.dialogCommand && !taken) {
        // A modal dialog runs its own loop inside the command; it is grabbed from there, then cancelled. A
        // window of its own (the live view) is grabbed once its first frames have come, then closed with the
        // program.
        const auto grab = [&window, &saved, path, command = *screenshot.dialogCommand](QWidget* opened) {
            saved = opened && opened->grab().save(path, "PNG");
            if (opened && QApplication::activeModalWidget() == opened) opened->close();
            window.post({MessageKind::Close, 0, {}});
            // Plan without a script, Camera without a body: the command is there, greyed, and opens nothing.
            const bool greyed = !window.isMenuEntryEnabled(command) && !window.isItemEnabled(command);
            if (!saved)
                qWarning("Could not save the screenshot to %s%s", qPrintable(path),
                         opened   ? ""
                         : greyed ? ": the command that opens the window is greyed"
                                  : ": the window was not open");
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
            if (!taken) saved = window.saveScreenshot(path);
            taken = true;
            if (!saved) qWarning("Could not save the screenshot to %s", qPrintable(path));
            endRun(window, true);
            window.post({MessageKind::Close, 0, {}});
        });
    }
    const int code = QApplication::exec();
    parts_->onEnding = nullptr;
    return path.isEmpty() || saved ? code : 1;
}

} // namespace orvex

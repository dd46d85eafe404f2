#pragma once
// The program's main window wired as the desktop program wires it, on the offscreen platform, started in a
// scratch folder of its own: the current directory while it lives, so the program's start-up folder, where
// its settings file lands.
#include "app/camera_link.h"
#include "app/main_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/qt/dialog_window.h"
#include "platform/system_clock.h"
#include "platform/thread_scheduler.h"
#include "resources/main_dialog.h"
#include "run/program.h"
#include "sdk/virtual/virtual_camera.h"
#include "ui/main_controls.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvex::test {

class ScratchFolder {
  public:
    ScratchFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(path()); }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    std::string path() const { return dir_.path().toStdString(); }
    // Writes the file (bytes as given) and returns its full path.
    std::string write(const std::string& name, const std::string& content) const {
        const std::string file = path() + "/" + name;
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

  private:
    QTemporaryDir dir_;
    std::filesystem::path previous_;
};

// Ports that are present and free, under the names given.
class NamedPorts final : public NoSerialPorts {
  public:
    explicit NamedPorts(std::vector<std::string> names) : names_(std::move(names)) {}
    std::vector<std::string> portNames() override { return names_; }
    bool probe(const std::string&) override { return true; }

  private:
    std::vector<std::string> names_;
};

inline void sendKey(QWidget* target, int key) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

// Runs the event loop until the condition holds or the time is up; true when it held.
template <typename Condition> bool runEventsUntil(Condition condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (condition() || deadline.hasExpired()) loop.quit();
    });
    poll.start(10);
    loop.exec();
    return condition();
}

inline QString screenshotPath(const std::string& name) {
    QDir().mkpath(QStringLiteral(ORVEX_SCREENSHOT_DIR));
    return QString::fromStdString(ORVEX_SCREENSHOT_DIR "/" + name);
}

inline void press(QWidget* button) {
    static_cast<QAbstractButton*>(button)->click();
}

inline const std::string kScriptHeader = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n";

inline QPushButton* findButton(QWidget& dialog, const QString& text) {
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

// Acts in the modal dialog once its event loop runs. A dialog the action failed to end is ended later, so
// that a failing test does not hang; the context (the test's window) takes that rescue with it when it goes.
inline void whenModal(QObject* context, const std::function<void(QDialog&)>& act) {
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

// A virtual body of that profile on the computer's clock, offered to the program while this lives.
struct PluggedBody {
    explicit PluggedBody(const VirtualProfile& profile)
        : camera(makeVirtualCamera(profile, clock, scheduler)) {
        sdk::registerCameraDriver(camera);
    }
    explicit PluggedBody(const char* preset) : PluggedBody(*virtualPreset(preset)) {}
    ~PluggedBody() { sdk::unregisterCameraDriver(camera); }
    SystemClock clock;
    ThreadScheduler scheduler;
    std::shared_ptr<VirtualCameraDriver> camera;
};

// `commands` records every command the window receives.
struct ProgramWindow {
    explicit ProgramWindow(int language, std::vector<std::string> portNames = {})
        : ports(std::move(portNames)), program(clock, ports) {
        program.language = language;
    }
    ~ProgramWindow() {
        // A connected body is let go of before its driver goes.
        if (window && program.camera.connected) disconnectCamera(program, *window);
    }

    // Creates the window for this command line, as the desktop program does, and shows it.
    QtDialogWindow& start(const std::string& commandLine = "") {
        program.options = parseCommandLine(commandLine);
        window = std::make_unique<QtDialogWindow>(
            MAIN_DIALOG,
            [this](Window& w, const DialogMessage& m) {
                if (m.kind == MessageKind::Command) commands.push_back(m.id);
                mainWindowProcedure(program, w, m);
            },
            [this](int id) { return colourField(program.mainView(), id); },
            [this] { return answerTexts(program); });
        window->show();
        return *window;
    }
    void click(int id) { press(window->control(id)); }
    // Writes the script (the header, then these lines) into the folder; the option that loads it.
    std::string loading(const std::string& name, const std::string& lines) const {
        return "-load=\"" + folder.write(name, kScriptHeader + lines) + "\"";
    }

    // Chooses the menu entry of that text, as the user does; `act` runs in the dialog it opens, which must be
    // closed by then.
    void choose(const QString& entry, const std::function<void(QDialog&)>& act) {
        QAction* action = nullptr;
        for (QMenu* menu : window->findChildren<QMenu*>())
            for (QAction* a : menu->actions())
                if (a->text() == entry) action = a;
        ASSERT_NE(action, nullptr) << entry.toStdString();
        whenModal(window.get(), act);
        action->trigger();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    ScratchFolder folder;
    SystemClock clock;
    NamedPorts ports;
    Program program;
    std::vector<int> commands;
    std::unique_ptr<QtDialogWindow> window;
};

} // namespace orvex::test

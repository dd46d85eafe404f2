// The desktop program: the main window on the computer's own clock and serial ports.
#include "app/main_window.h"
#include "camera/gphoto2/gphoto_driver.h"
#include "camera/virtual/virtual_camera.h"
#include "core/program.h"
#include "core/startup_options.h"
#include "platform/qt/desktop_shell.h"
#include "platform/qt/dialog_window.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/qt_serial_ports.h"
#include "platform/system_clock.h"
#include "platform/system_language.h"
#include "platform/thread_scheduler.h"
#include "resources/main_dialog.h"
#include "run/run_controller.h"
#include "ui/main_controls.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <string>
#include <vector>

int main(int argc, char** argv) {
    // QApplication takes its own options (-platform, -style …) out of argv; what is left is ours.
    QApplication app(argc, argv);
    // Only the main window's procedure decides when the program ends.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orvex::programIcon());

    orvex::SystemClock clock;
    orvex::ThreadScheduler scheduler;
    orvex::QtSerialPorts systemPorts;
    const int language = orvex::languageFromLangId(orvex::systemLanguageId());
    std::vector<std::string> arguments(argv + 1, argv + argc);
    // --screenshot=PATH: save the window once it is up, then quit; for machines without a screen.
    // --dialog=NAME with it: open that dialog (PARAMETER_DIALOG …) first and save it instead.
    const auto takeOption = [&arguments](const std::string& name) {
        QString value;
        for (auto it = arguments.begin(); it != arguments.end(); ++it)
            if (it->rfind(name, 0) == 0) {
                value = QString::fromStdString(it->substr(name.size()));
                arguments.erase(it);
                break;
            }
        return value;
    };
    const QString screenshot = takeOption("--screenshot=");
    const QString dialogName = takeOption("--dialog=");
    std::optional<int> dialogCommand;
    if (!dialogName.isEmpty()) {
        dialogCommand = orvex::commandOpening(dialogName.toStdString());
        if (!dialogCommand) {
            qWarning("No dialog is named %s", qPrintable(dialogName));
            return 2;
        }
    }
    const std::string commandLine = orvex::joinArguments(arguments);

    // -virtualcam="PRESET" or -virtualcam="profile.ini": the built-in virtual body takes the place of the
    // bodies on USB in the camera list, and its remote socket joins the serial ports.
    std::shared_ptr<orvex::sdk::CameraDriver> cameras;
    std::shared_ptr<orvex::VirtualCameraDriver> virtualCamera;
    std::unique_ptr<orvex::VirtualCablePorts> cablePorts;
    if (const auto choice = orvex::optionValue(commandLine, "-virtualcam=")) {
        std::string problem;
        const auto profile = orvex::loadVirtualProfile(*choice, problem);
        if (!profile) {
            QMessageBox::critical(nullptr, orvex::messageText(language, 54), QString::fromStdString(problem));
            return 2;
        }
        // Its downloads take real time, at the link speed its profile gives.
        virtualCamera =
            orvex::makeVirtualCamera(*profile, clock, scheduler, [&clock](unsigned ms) { clock.sleep(ms); });
        cameras = virtualCamera;
        cablePorts = std::make_unique<orvex::VirtualCablePorts>(systemPorts, virtualCamera);
    } else {
        cameras = orvex::makeGphotoDriver();
    }
    orvex::sdk::registerCameraDriver(cameras);
    orvex::SerialPorts& serialPorts =
        cablePorts ? static_cast<orvex::SerialPorts&>(*cablePorts) : systemPorts;
    orvex::DesktopShell shell;
    orvex::Program program(clock, serialPorts);
    program.shell = &shell;
    program.language = language;
    program.options = orvex::parseCommandLine(commandLine);

    orvex::QtDialogWindow window(
        orvex::MAIN_DIALOG,
        [&program](orvex::Window& w, const orvex::DialogMessage& m) {
            orvex::mainWindowProcedure(program, w, m);
        },
        [&program](int id) { return orvex::colourField(program, id); },
        [&program] { return orvex::answerTexts(program); });
    // The virtual body times its pictures on the scheduler's thread: it leaves the camera list before they
    // go.
    struct Unregister {
        std::shared_ptr<orvex::sdk::CameraDriver> cameras;
        ~Unregister() { orvex::sdk::unregisterCameraDriver(cameras); }
    } unregister{cameras};
    // The initialisation sequence may already have given up (no camera SDK): then there is nothing to show.
    if (const auto code = window.quitCode()) return *code;
    window.show();
    bool screenshotSaved = false;
    if (!screenshot.isEmpty() && dialogCommand) {
        // The dialog runs its own loop inside the command; it is grabbed from there, then cancelled.
        QTimer::singleShot(200, &window, [&window, &screenshotSaved, screenshot, command = *dialogCommand] {
            QTimer::singleShot(300, &window, [&window, &screenshotSaved, screenshot] {
                QWidget* dialog = QApplication::activeModalWidget();
                screenshotSaved = dialog && dialog->grab().save(screenshot, "PNG");
                if (dialog) dialog->close();
                window.post({orvex::MessageKind::Close, 0, {}});
                if (!screenshotSaved) qWarning("Could not save the screenshot to %s", qPrintable(screenshot));
            });
            window.post({orvex::MessageKind::Command, command, {}});
        });
    } else if (!screenshot.isEmpty()) {
        QTimer::singleShot(200, &window, [&] {
            screenshotSaved = window.saveScreenshot(screenshot);
            if (!screenshotSaved) qWarning("Could not save the screenshot to %s", qPrintable(screenshot));
            // The picture is all that was asked for: a run in progress, which would refuse to quit, ends.
            if (program.run.running) orvex::stopRun(program, window);
            window.post({orvex::MessageKind::Close, 0, {}});
        });
    }
    const int code = QApplication::exec();
    return screenshot.isEmpty() || screenshotSaved ? code : 1;
}

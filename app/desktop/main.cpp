// The desktop program: the main window on the computer's own clock and serial ports.
#include "app/desktop/plan_command.h"
#include "app/main_window.h"
#include "app/profile_problem_text.h"
#include "app/synchro_problem_text.h"
#include "core/catalogue.h"
#include "core/startup_options.h"
#include "platform/desktop_application.h"
#include "platform/kernel_clock.h"
#include "platform/portaudio/portaudio_sound_input.h"
#include "platform/posix/shared_synchro.h"
#include "platform/standard_streams.h"
#include "platform/system_language.h"
#include "resources/main_dialog.h"
#include "run/program.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "sdk/gphoto2/gphoto_driver.h"
#include "sdk/virtual/virtual_camera.h"
#include "ui/main_controls.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Takes "NAME=value" out of the arguments; the value, empty when it is not there.
std::string takeOption(std::vector<std::string>& arguments, const std::string& name) {
    for (auto it = arguments.begin(); it != arguments.end(); ++it)
        if (it->rfind(name, 0) == 0) {
            std::string value = it->substr(name.size());
            arguments.erase(it);
            return value;
        }
    return {};
}

} // namespace

int main(int argc, char** argv) {
    orvex::openMissingStandardStreams();
    orvex::DesktopApplication application(argc, argv);
    const int language = orvex::languageFromLangId(orvex::systemLanguageId());
    std::vector<std::string> arguments = application.arguments();
    // --dialog=NAME with --screenshot: open that dialog (PARAMETER_DIALOG …) first and save it instead.
    orvex::ScreenshotRequest screenshot{takeOption(arguments, "--screenshot="), {}};
    const std::string dialogName = takeOption(arguments, "--dialog=");
    if (!dialogName.empty()) {
        screenshot.dialogCommand = orvex::commandOpening(dialogName);
        if (!screenshot.dialogCommand) {
            std::fprintf(stderr, "No dialog is named %s\n", dialogName.c_str());
            return 2;
        }
    }
    const std::string commandLine = orvex::joinArguments(arguments);

    // -virtualcam="PRESET" or -virtualcam="profile.ini": the built-in virtual body takes the place of the
    // bodies on USB in the camera list, and its remote socket joins the serial ports.
    std::shared_ptr<orvex::sdk::CameraDriver> cameras;
    std::unique_ptr<orvex::VirtualCablePorts> cablePorts;
    if (const auto choice = orvex::optionValue(commandLine, "-virtualcam=")) {
        orvex::ProfileProblem problem;
        const auto profile = orvex::loadVirtualProfile(*choice, problem);
        if (!profile) {
            const std::string text = orvex::profileProblemText(language, problem);
            // Nobody is in front of a screenshot's screen to close a box: the reason goes to standard error.
            if (screenshot.path.empty())
                application.showError(orvex::messageText(language, 54), text);
            else
                std::fprintf(stderr, "%s: %s\n", orvex::messageText(language, 54), text.c_str());
            return 2;
        }
        // Its downloads take real time, at the link speed its profile gives.
        orvex::Clock& clock = application.clock();
        const auto virtualCamera = orvex::makeVirtualCamera(*profile, clock, application.scheduler(),
                                                            [&clock](unsigned ms) { clock.sleep(ms); });
        cameras = virtualCamera;
        cablePorts = std::make_unique<orvex::VirtualCablePorts>(application.serialPorts(), virtualCamera);
    } else {
        cameras = orvex::makeGphotoDriver();
    }
    orvex::sdk::registerCameraDriver(cameras);
    orvex::Program program(application.clock(), cablePorts ? *cablePorts : application.serialPorts());
    program.shell = &application.shell();
    program.language = language;
    program.options = orvex::parseCommandLine(commandLine);
    orvex::PortAudioSoundInput sound;
    program.soundInput = &sound;
    // Runs start in step with the other instances on the computer; without the shared value, each on its own.
    orvex::SharedSynchro synchro;
    if (!synchro.usable())
        std::fprintf(
            stderr, "%s\n",
            orvex::formatMessage(language, 225, orvex::synchroProblemText(language, synchro.problem()))
                .c_str());
    program.synchro = &synchro;
    program.kernelClock = &orvex::systemKernelClock();
    // The virtual body times its pictures on the scheduler's thread: it leaves the camera list before the
    // program goes.
    struct Unregister {
        std::shared_ptr<orvex::sdk::CameraDriver> cameras;
        ~Unregister() { orvex::sdk::unregisterCameraDriver(cameras); }
    } unregister{cameras};

    return application.run(
        orvex::MAIN_DIALOG,
        [&program, &synchro](orvex::Window& w, const orvex::DialogMessage& m) {
            // The plan is the desktop's alone: orvex-cli draws it, for this window to show.
            if (m.kind == orvex::MessageKind::Command && m.id == orvex::kMenuPlan) {
                if (w.isMenuEntryEnabled(orvex::kMenuPlan)) orvex::showScriptPlan(program, w);
                return;
            }
            const bool slaveBefore = program.slaveMode;
            orvex::mainWindowProcedure(program, w, m);
            // A slave that cannot see the shared start would wait, its box checked, for a start that never
            // comes, and standard error is seen by nobody who started Orvex from the desktop: it says why at
            // once, as orvex-cli ends on it.
            if (program.slaveMode && !slaveBefore && !synchro.usable())
                w.messageBox(
                    orvex::formatMessage(program.language, 225,
                                         orvex::synchroProblemText(program.language, synchro.problem())),
                    orvex::messageText(program.language, 54), orvex::BoxIcon::Error, orvex::BoxButtons::Ok);
        },
        [&program](int id) { return orvex::colourField(program.mainView(), id); },
        [&program] { return orvex::answerTexts(program); }, screenshot,
        // A run in progress, which would refuse to quit, ends: the picture is all that was asked for, or the
        // program must go. A shot under way ends as Stop ends it, so that its pictures are stored, not left
        // on the card or lost with the body's memory, unless the end is asked again.
        [&program](orvex::Window& w, bool atOnce) {
            if (!program.run.running) return true;
            if (!atOnce && orvex::shotUnderWay(program.run)) {
                if (!program.run.requests.abort) orvex::stopAfterTheShot(program, w);
                return false;
            }
            orvex::stopRun(program, w);
            return true;
        });
}

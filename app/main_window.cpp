#include "app/main_window.h"

#include "app/camera_link.h"
#include "app/script_menu.h"
#include "camera/ae_mode_icons.h"
#include "camera/camera_clock.h"
#include "camera/camera_connection.h"
#include "camera/camera_info_dialog.h"
#include "liveview/frame_tick.h"
#include "liveview/live_view_requests.h"
#include "liveview/live_view_window.h"
#include "platform/ascii_case.h"
#include "platform/files.h"
#include "resources/camera_info_dialog.h"
#include "resources/connect_dialog.h"
#include "resources/live_view_dialog.h"
#include "resources/main_dialog.h"
#include "resources/parameter_dialog.h"
#include "resources/script_chain_dialog.h"
#include "run/cable_port.h"
#include "run/clock_warning.h"
#include "run/run_controller.h"
#include "run/script_load.h"
#include "run/serial_cable.h"
#include "run/shot_execution.h"
#include "run/slave_sync.h"
#include "run/start_line.h"
#include "run/status_display.h"
#include "run/transfer.h"
#include "script/script_chain.h"
#include "script/script_loader.h"
#include "sdk/sdk.h"
#include "ui/help_about.h"
#include "ui/main_controls.h"
#include "ui/parameters_dialog.h"
#include "ui/picture_folder.h"

namespace orvex {
namespace {

constexpr int kYesText = 200;
constexpr int kNoText = 120;

// Port names keep their system spelling (ttyUSB0), so the upper-cased option is matched without regard to
// case.
void selectSerialPort(Window& w, const std::string& requested) {
    const std::string wanted = upperAscii(requested);
    for (int i = 0; i < w.listCount(kSerialPortList); ++i)
        if (upperAscii(w.listText(kSerialPortList, i)).rfind(wanted, 0) == 0) {
            w.listSelectIndex(kSerialPortList, i);
            return;
        }
}

void probeSerialPorts(Program& p) {
    p.availablePorts.clear();
    for (const std::string& name : p.serialPorts.portNames())
        if (p.serialPorts.probe(name)) p.availablePorts.push_back(name);
}

void initialise(Program& p, Window& w) {
    if (EdsInitializeSDK() != EDS_ERR_OK) {
        w.messageBox(p.text(164), p.text(54), BoxIcon::Error, BoxButtons::Ok);
        w.destroyAndQuit(0);
        return;
    }
    p.sdkInitialised = true;
    installCameraEventPump(w);
    w.setTitle(p.text(188));
    p.startupDirectory = currentDirectory();
    p.script.directory = p.startupDirectory;
    loadSettings(p.startupDirectory + kSettingsFileName, p.settings, p.run.settings);
    p.aeModeIcons = loadAeModeIcons(p.startupDirectory);
    probeSerialPorts(p);
    buildMainTexts(p.mainView(), w);
    w.setItemText(kCameraField, p.text(125));
    w.checkItem(kLoopToggle, p.run.settings.loopEnabled);
    w.checkItem(kSlaveToggle, p.slaveMode);
    w.listSelectIndex(kSaveToList, p.options.saveToHost ? 0 : 1);
    for (int button : {kNextScriptButton, kPrevScriptButton, kReloadScriptButton})
        w.enableItem(button, false);

    const StartupOptions& o = p.options;
    if (o.serialPortText) selectSerialPort(w, *o.serialPortText);
    if (o.lockupText)
        if (const auto entry = lockupEntry(*o.lockupText)) w.listSelectPrefix(kLockupList, *entry);
    if (o.connectRequested) autoConnect(p, w);
    if (o.loadPath) loadScript(p, w, *o.loadPath);
    // A night resumed from a line that is no exposure would start at the wrong one: it does not start.
    const bool startLineTaken = !o.fromLineText || !p.script.loaded || chooseStartLine(p, w, *o.fromLineText);
    // One that Parameters would refuse is passed over, as a -loop that is no count is: the pictures keep the
    // settings' prefix, in their folder.
    if (o.prefixText && prefixAllowed(*o.prefixText)) p.settings.imagePrefix = *o.prefixText;
    if (o.loopText) {
        const auto count = parseLoopCount(*o.loopText);
        if (o.loopText->empty() || count) {
            p.run.settings.loopEnabled = true;
            w.checkItem(kLoopToggle, true);
        }
        if (count) {
            p.run.settings.loopCount = *count;
            p.run.settings.loopInfinite = false;
        }
    }
    bool startRequested = o.startText && o.startText->empty() && startLineTaken;
    if (o.startText && !o.startText->empty())
        if (const auto t = parseStartTime(*o.startText)) {
            startRequested = startLineTaken;
            p.run.settings.delayedStart = true;
            w.checkItem(kDelayedToggle, true);
            p.run.settings.startHour = t->hour;
            p.run.settings.startMinute = t->minute;
            p.run.settings.startSecond = t->second;
        }
    // A slave starts only when its master does.
    if (o.slave) {
        setSlaveMode(p, w, true);
        startRequested = false;
    }
    updateMainControls(p.mainView(), w);
    if (startRequested && w.isItemEnabled(kStartButton))
        startRun(p, w);
    else
        showStatus(p, w, RunStatus::kIdle);
}

void quit(Program& p, Window& w) {
    if (p.run.running) return;
    closeCable(p);
    if (p.camera.connected) disconnectCamera(p, w);
    p.transferWorker.join();
    if (p.sdkInitialised) EdsTerminateSDK();
    p.sdkInitialised = false;
    w.destroyAndQuit(0);
}

// Next script, Prev. script and Reload: during a run they wait for the camera to be idle.
void chainCommand(Program& p, Window& w, bool RunRequests::*request, bool (*now)(Program&, Window&)) {
    RunState& r = p.run;
    if (!r.running) {
        now(p, w);
        return;
    }
    r.requests.reload = r.requests.next = r.requests.prev = false;
    r.requests.*request = true;
}

void editParameters(Program& p, Window& w) {
    const int languageBefore = p.language;
    const ParameterRecords records{p.settings, p.run.settings, p.language, p.startupDirectory, p.clock};
    w.runModal(PARAMETER_DIALOG,
               [&records](Window& d, const DialogMessage& m) { parametersProcedure(records, d, m); });
    if (p.language == languageBefore) return;
    buildMainTexts(p.mainView(), w);
    if (p.liveView.window) p.liveView.window->post({MessageKind::User, kLiveViewLanguage, {}});
}

void command(Program& p, Window& w, int id) {
    switch (id) {
    case kCancelCommand:
        if (w.isItemEnabled(kNextScriptButton)) chainCommand(p, w, &RunRequests::next, nextScript);
        break;
    case kConnectButton:
        if (p.camera.connected)
            disconnectCamera(p, w);
        else
            connectCamera(p, w);
        break;
    case kStartButton:
        if (p.run.running) {
            requestStop(p, w);
        } else if (p.run.awaitedStart) {
            cancelAwaitedStart(p, w);
        } else {
            warnOfTheClock(p, w);
            startRun(p, w);
        }
        break;
    case kPauseButton:
        togglePause(p, w);
        break;
    case kNextScriptButton:
        chainCommand(p, w, &RunRequests::next, nextScript);
        break;
    case kPrevScriptButton:
        chainCommand(p, w, &RunRequests::prev, previousScript);
        break;
    case kReloadScriptButton:
        chainCommand(p, w, &RunRequests::reload, reloadScript);
        break;
    case kLoopToggle:
        p.run.settings.loopEnabled = !p.run.settings.loopEnabled;
        w.checkItem(kLoopToggle, p.run.settings.loopEnabled);
        break;
    case kSlaveToggle:
        setSlaveMode(p, w, !p.slaveMode);
        break;
    case kDelayedToggle:
        p.run.settings.delayedStart = !p.run.settings.delayedStart;
        w.checkItem(kDelayedToggle, p.run.settings.delayedStart);
        break;
    case kLiveViewButton:
        openOrCloseLiveView(p.liveViewRecords(), w);
        break;
    case kZoomList:
        applyLiveViewZoom(p.liveViewRecords(), w);
        break;
    case kSaveToList:
        p.options.saveToHost = w.listSelection(kSaveToList) == 0;
        updateMainControls(p.mainView(), w);
        break;
    case kMenuLoad:
        loadScriptFromDialog(p, w);
        break;
    case kMenuModify:
        editCurrentScript(p, w);
        break;
    case kMenuEdit:
        editOrCreateScript(p, w);
        break;
    case kMenuChain:
        chainScripts(p, w);
        break;
    case kMenuParameters:
        editParameters(p, w);
        break;
    case kMenuQuit:
        quit(p, w);
        break;
    // The picture folder is only known, and only fills, while pictures are saved to the computer.
    case kMenuBrowse:
        if (w.isMenuEntryEnabled(kMenuBrowse))
            openPictureFolder(pictureFolder(p), p.settings.pictureBrowser, p.shell, p.language, w);
        break;
    case kMenuErase:
        if (w.isMenuEntryEnabled(kMenuErase)) erasePictures(pictureFolder(p), p.language, w);
        break;
    case kMenuCamera:
        if (w.isMenuEntryEnabled(kMenuCamera))
            w.runModal(CAMERA_INFO_DIALOG, [&p](Window& d, const DialogMessage& m) {
                cameraInfoProcedure({p.camera, p.aeModeIcons, p.options.simulation, p.language}, d, m);
            });
        break;
    case kMenuSetTimeLT:
    case kMenuSetTimeUT:
        if (w.isMenuEntryEnabled(id)) setCameraClock(p.camera, p.clock, p.language, w, id == kMenuSetTimeUT);
        break;
    case kMenuHelp:
        showHelp(p.startupDirectory, p.shell, p.language, w);
        break;
    case kMenuAbout:
        showAbout(p.language, w);
        break;
    default:
        break;
    }
}

} // namespace

std::optional<int> commandOpening(const std::string& dialogName) {
    if (dialogName == PARAMETER_DIALOG.name) return kMenuParameters;
    if (dialogName == SCRIPT_CHAIN_DIALOG.name) return kMenuChain;
    if (dialogName == CAMERA_INFO_DIALOG.name) return kMenuCamera;
    if (dialogName == kPlanWindowName) return kMenuPlan;
    // Connect opens its list only when more than one body answers.
    if (dialogName == CONNECT_DIALOG.name) return kConnectButton;
    if (dialogName == BIG_LIVE_VIEW_DIALOG.name || dialogName == SMALL_LIVE_VIEW_DIALOG.name)
        return kLiveViewButton;
    return std::nullopt;
}

void mainWindowProcedure(Program& p, Window& w, const DialogMessage& m) {
    switch (m.kind) {
    case MessageKind::Init:
        initialise(p, w);
        break;
    case MessageKind::Command:
        command(p, w, m.id);
        break;
    case MessageKind::Close:
        quit(p, w);
        break;
    case MessageKind::User:
        if (m.id == kUserDetectionLevel) showDetectionLevel(p.run, w);
        if (m.id == kUserCameraEvent) deliverCameraEvents(p, w);
        // A new frame rate: a frame at once, then the timer at the new rate.
        if (m.id == kFrameRateList) frameTick(p.liveViewRecords(), w);
        liveViewRequest(p.liveViewRecords(), w, m.id);
        break;
    case MessageKind::Timer:
        if (m.id == kTimerRun) runTick(p, w);
        if (m.id == kTimerSync) pollSync(p, w);
        if (m.id == kTimerLiveView) frameTick(p.liveViewRecords(), w);
        if (m.id == kTimerBattery && p.run.cameraReady) batteryWatch(p.camera, p.run, w);
        break;
    case MessageKind::Drop:
        loadDroppedScript(p, w, m.files);
        break;
    case MessageKind::Minimised:
    case MessageKind::Restored:
        break;
    }
}

AnswerTexts answerTexts(const Program& p) {
    return {p.text(kYesText), p.text(kNoText), p.language == kFrench ? "fr" : "en"};
}

} // namespace orvex

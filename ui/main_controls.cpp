#include "ui/main_controls.h"

#include "core/catalogue.h"
#include "resources/main_dialog.h"

#include <string>
#include <vector>

namespace orvex {
namespace {

const char* text(const MainView& p, int number) {
    return messageText(p.language, number);
}

std::vector<Menu> mainMenu(const MainView& p) {
    const auto e = [&](int id, int message) { return MenuEntry{id, text(p, message)}; };
    const MenuEntry separator{0, {}};
    return {
        {text(p, 155),
         {e(kMenuLoad, 97), e(kMenuModify, 114), e(kMenuEdit, 48), e(kMenuChain, 31), e(kMenuPlan, 249),
          separator, e(kMenuQuit, 145)}},
        {text(p, 135), {e(kMenuBrowse, 47), e(kMenuErase, 52)}},
        {text(p, 169),
         {e(kMenuParameters, 132), separator, e(kMenuCamera, 20), e(kMenuSetTimeLT, 170),
          e(kMenuSetTimeUT, 171)}},
        {"?", {e(kMenuAbout, 2), e(kMenuHelp, 65)}},
    };
}

std::vector<std::string> listEntries(const MainView& p, int list) {
    switch (list) {
    case kLockupList: {
        std::vector<std::string> v{text(p, 102)};
        for (int s = 1; s <= 10; ++s) v.push_back(std::to_string(s) + "s");
        v.push_back(text(p, 101));
        return v;
    }
    case kSaveToList:
        return {text(p, 153), text(p, 152)};
    case kZoomList:
        return {text(p, 204), text(p, 210), text(p, 209)};
    default: {
        std::vector<std::string> v{text(p, 199)};
        v.insert(v.end(), p.availablePorts.begin(), p.availablePorts.end());
        return v;
    }
    }
}

// Refills a list in the current language and keeps the entry the user had chosen.
void refillList(const MainView& p, Window& w, int list) {
    const int selected = w.listSelection(list);
    w.listClear(list);
    for (const std::string& entry : listEntries(p, list)) w.listAdd(list, entry);
    w.listSelectIndex(list, 0);
    if (selected >= 0) w.listSelectIndex(list, selected);
}

FieldColour valueFieldColour(const ValueFieldState& state) {
    if (state.differs) return {colours::lightBeige, colours::red};
    if (state.leftToCamera) return {colours::lightBeige, colours::orange};
    return {};
}

FieldColour cameraFieldColour(const MainView& p) {
    if (!p.camera.connected) return {colours::red, colours::white};
    if (p.options.simulation) return {colours::green, {}};
    switch (batteryCharge(p.camera.batteryLevel)) {
    case BatteryCharge::Empty:
        return {colours::orange, {}};
    case BatteryCharge::Low:
        return {colours::yellow, {}};
    case BatteryCharge::Good:
        break;
    }
    return {colours::green, {}};
}

FieldColour statusFieldColour(RunStatus status) {
    using enum RunStatus;
    switch (status) {
    case kAborted:
        return {colours::magenta, {}};
    case kBurst:
    case kExposure:
    case kPictureWait:
        return {colours::cyan, {}};
    case kCompleted:
        return {colours::green, {}};
    case kDelayedStartWait:
    case kDelayWait:
    case kMoveWait:
    case kSoundWait:
        return {colours::yellow, {}};
    case kError:
    case kCameraGone:
        return {colours::red, colours::white};
    case kManualRelease:
    case kLockup:
        return {colours::orange, {}};
    case kPaused:
        return {colours::black, colours::white};
    case kSaving:
        return {colours::white, {}};
    default:
        return {};
    }
}

} // namespace

void showStatusText(const MainView& p, Window& w) {
    w.setItemText(kStatusField, text(p, messageOf(p.run.status)));
    w.setItemText(kWaitField, "");
    w.refreshColours();
}

void buildMainTexts(const MainView& p, Window& w) {
    for (const ControlTemplate& c : MAIN_DIALOG.controls)
        if (c.message >= 0) w.setItemText(c.id, text(p, c.message));
    w.setMenu(mainMenu(p));
    showStatusText(p, w);
    for (int list : {kLockupList, kSaveToList, kZoomList, kSerialPortList}) refillList(p, w, list);
    if (!p.camera.connected) w.setItemText(kCameraField, text(p, 125));
    updateMainControls(p, w);
}

void updateMainControls(const MainView& p, Window& w) {
    const bool running = p.run.running;
    // A start that waits for the last run's pictures is cancelled as a run is stopped.
    const bool stoppable = running || p.run.awaitedStart;
    const bool connected = p.camera.connected;
    const bool loaded = p.script.loaded;
    const bool lockupFixed = connected && p.camera.rules.lockupFixedOff;
    const bool saveToFixed = connected && p.camera.rules.savesToHostOnly;

    w.checkItem(kLoopToggle, p.run.settings.loopEnabled);
    w.enableItem(kStartButton, (!p.slaveMode && loaded && connected) || stoppable);
    w.enableItem(kLiveViewButton, (p.options.simulation || p.camera.liveViewAvailable) && connected);
    w.enableItem(kZoomList, p.camera.liveViewAvailable && connected);
    w.enableItem(kConnectButton, !running);
    w.enableItem(kSerialPortList, !running);
    w.enableItem(kPauseButton, running);
    w.enableItem(kLockupList, !lockupFixed);
    w.enableItem(kDelayedToggle, !running && !p.slaveMode);
    w.enableItem(kSlaveToggle, !running);
    w.enableItem(kSaveToList, !(saveToFixed || p.script.hasBurst || running));
    w.enableItem(kReloadScriptButton, loaded);
    if (!running) {
        w.showItem(kLevelBar, false);
        w.showItem(kWaitField, true);
    }
    if (!loaded) {
        w.enableItem(kNextScriptButton, false);
        w.enableItem(kPrevScriptButton, false);
    }
    w.enableClose(!running);
    w.enableMenuEntry(kMenuQuit, !running);
    w.enableMenuEntry(kMenuLoad, !running);
    w.enableMenuEntry(kMenuModify, loaded);
    // A plan is rehearsed apart from the program: a run going on is left alone.
    w.enableMenuEntry(kMenuPlan, loaded);
    for (int entry : {kMenuSetTimeLT, kMenuSetTimeUT, kMenuCamera})
        w.enableMenuEntry(entry, !running && connected);
    const bool picturesHere = p.options.saveToHost && loaded && connected;
    w.enableMenuEntry(kMenuBrowse, picturesHere);
    // The night under way is in that folder: its pictures would go with those Erase is meant for.
    w.enableMenuEntry(kMenuErase, picturesHere && !running);
    w.acceptDrops(!running);

    if (p.run.shotCount == 0 || !loaded || !connected)
        for (int field : {kSpeedField, kApertureField, kIsoField, kQualityField, kShotsField})
            w.setItemText(field, "");
    w.setItemText(kConnectButton, text(p, connected ? 46 : 37));
    w.setItemText(kStartButton, text(p, stoppable ? 184 : 181));
    w.setItemText(kPauseButton, text(p, p.run.paused ? 149 : 133));
    w.refreshColours();
}

FieldColour colourField(const MainView& p, int controlId) {
    switch (controlId) {
    case kCameraField:
        return cameraFieldColour(p);
    case kStatusField:
        return statusFieldColour(p.run.status);
    case kShotsField:
        if (!p.run.running || p.run.shotCount <= 0) return {};
        return p.run.wait.late ? FieldColour{colours::red, colours::white} : FieldColour{colours::green, {}};
    case kApertureField:
        return valueFieldColour(p.run.fields.aperture);
    case kSpeedField:
        return valueFieldColour(p.run.fields.speed);
    case kIsoField:
        return valueFieldColour(p.run.fields.iso);
    case kQualityField:
        return valueFieldColour(p.run.fields.quality);
    default:
        return {};
    }
}

void showDetectionLevel(const RunState& run, Window& w) {
    if (!run.running) return;
    const int level = run.detection.level;
    w.showItem(kLevelBar, true);
    w.showItem(kWaitField, false);
    w.setProgressColour(kLevelBar, level == 100 ? colours::red
                                   : level < 50 ? colours::green
                                                : colours::yellow);
    w.setProgress(kLevelBar, level);
}

} // namespace orvex

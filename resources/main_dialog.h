#pragma once
#include "resources/dialog_template.h"

namespace orvex {

// Control ids of the main window.
enum MainControl {
    kConnectButton = 1001,
    kStartButton = 1003,
    kApertureField = 1005,
    kCameraField = 1006,
    kShotsField = 1007,
    kSlaveToggle = 1008,
    kStatusField = 1009,
    kPauseButton = 1010,
    kLoopToggle = 1011,
    kNextScriptButton = 1014,
    kPrevScriptButton = 1015,
    kSpeedField = 1016,
    kIsoField = 1017,
    kWaitField = 1018,
    kQualityField = 1019,
    kLockupList = 1020,
    kLiveViewButton = 1021,
    kReloadScriptButton = 1023,
    kSerialPortList = 1024,
    kZoomList = 1036,
    kDelayedToggle = 1054,
    kSaveToList = 1071,
    kLevelBar = 1092,
};

// The main window's labels, which only carry their texts.
enum MainLabel {
    kSpeedLabel = 2001,
    kStatusLabel = 2002,
    kApertureLabel = 2003,
    kWaitLabel = 2005,
    kIsoLabel = 2006,
    kShotsLabel = 2007,
    kQualityLabel = 2008,
    kZoomLabel = 2009,
    kLockupLabel = 2010,
    kSerialPortLabel = 2011,
    kSaveToLabel = 2039,
};

// Menu command ids of the main window.
enum MainMenu {
    kMenuLoad = 3001,
    kMenuModify = 3002,
    kMenuEdit = 3003,
    kMenuChain = 3004,
    kMenuAbout = 3005,
    kMenuSetTimeLT = 3007,
    kMenuSetTimeUT = 3008,
    kMenuCamera = 3010,
    kMenuParameters = 3011,
    kMenuHelp = 3012,
    kMenuQuit = 3013,
    kMenuErase = 3014,
    kMenuBrowse = 3015,
    kMenuPlan = 3016,
};

// The plan window, drawn by the desktop program alone, has no template: this name asks for it in a
// screenshot.
inline constexpr const char* kPlanWindowName = "PLAN";

// Timers of the main window.
enum MainTimer {
    kTimerRun = 1,
    kTimerSync = 2,
    kTimerLiveView = 4,
};

// Messages posted to the main window.
enum MainUserMessage {
    kUserDetectionLevel = 1018,
};

extern const DialogTemplate MAIN_DIALOG;

} // namespace orvex

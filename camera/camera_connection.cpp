#include "camera/camera_connection.h"

#include "camera/camera_choice_dialog.h"
#include "camera/camera_model.h"
#include "camera/camera_properties.h"
#include "camera/error_texts.h"
#include "core/catalogue.h"
#include "resources/connect_dialog.h"
#include "resources/main_dialog.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvex {
namespace {

constexpr unsigned kBatteryWatchMs = 20000;
constexpr int kMessageSimulation = 173;
constexpr int kMessageNotConnected = 125;
constexpr int kMessageCannotAccess = 44;
constexpr int kMessageError = 54;
constexpr int kMessageCameraGone = 219;

// What the camera's event handlers reach the program through.
struct CameraEventContext {
    CameraEvents events;
    bool bodyGone = false; // the body shut down: the program disconnects it once the events are delivered
};

// One context per connected session. The SDK only holds a raw pointer, so the context lives here from the
// handlers' registration until they are removed at disconnection. Used on the UI thread only.
std::map<const CameraSession*, std::unique_ptr<CameraEventContext>>& eventContexts() {
    static std::map<const CameraSession*, std::unique_ptr<CameraEventContext>> contexts;
    return contexts;
}

// The window the event notifier posts to, so that only that window's going takes the notifier away.
Window*& pumpWindow() {
    static Window* window = nullptr;
    return window;
}

struct QualityCodes {
    const char* name;
    std::uint32_t standard;
    std::uint32_t legacy;
};

// "MR", "SR" and their pairs with a JPEG have no legacy code and keep theirs.
constexpr QualityCodes kQualityCodes[] = {
    {"R", 0x0064FF0F, 0x00240000},     {"(L)", 0x0013FF0F, 0x00130000},   {"(M)", 0x0113FF0F, 0x01130000},
    {"(S)", 0x0213FF0F, 0x02130000},   {"[L]", 0x0012FF0F, 0x00120000},   {"[M]", 0x0112FF0F, 0x01120000},
    {"[S]", 0x0212FF0F, 0x02120000},   {"R+(L)", 0x00640013, 0x00240013}, {"R+(M)", 0x00640113, 0x00240113},
    {"R+(S)", 0x00640213, 0x00240213}, {"R+[L]", 0x00640012, 0x00240012}, {"R+[M]", 0x00640112, 0x00240112},
    {"R+[S]", 0x00640212, 0x00240212},
};

void setQualityCodes(ValueTable& quality, bool legacy) {
    for (const QualityCodes& q : kQualityCodes) {
        const int row = findByName(quality, q.name);
        if (row >= 0) quality[static_cast<std::size_t>(row)].code = legacy ? q.legacy : q.standard;
    }
}

// The SDK keeps handlers with the camera body, beyond its session: a later session on the same body, such as
// autoConnect trying it for its body id, must not reach a context that is gone.
void removeEventHandlers(EdsCameraRef camera) {
    EdsSetObjectEventHandler(camera, kEdsObjectEvent_All, nullptr, nullptr);
    EdsSetPropertyEventHandler(camera, kEdsPropertyEvent_All, nullptr, nullptr);
    EdsSetCameraStateEventHandler(camera, kEdsStateEvent_All, nullptr, nullptr);
}

EdsError onObjectEvent(EdsObjectEvent event, EdsBaseRef object, EdsVoid* context) {
    const CameraEvents& events = static_cast<CameraEventContext*>(context)->events;
    switch (event) {
    case kEdsObjectEvent_DirItemCreated:
        if (events.run.running) {
            events.run.picturesReported += 1;
            if (object) events.pictureOnCard(object);
        }
        if (object) EdsRelease(object);
        break;
    case kEdsObjectEvent_DirItemRequestTransfer:
        // A null item would reach the transfer worker as nothing to download.
        if (!object) break;
        if (events.run.running) {
            events.transfers.queueTransfer(object);
        } else if (!events.fileLatePicture(object)) {
            EdsDownloadCancel(object);
            EdsRelease(object);
        }
        break;
    default:
        if (object) EdsRelease(object);
        break;
    }
    return EDS_ERR_OK;
}

EdsError onPropertyEvent(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32, EdsVoid* context) {
    if (event == kEdsPropertyEvent_PropertyChanged && property == kEdsPropID_AFMode)
        static_cast<CameraEventContext*>(context)->events.camera.afModeStale = true;
    return EDS_ERR_OK;
}

EdsError onStateEvent(EdsStateEvent event, EdsUInt32, EdsVoid* context) {
    auto* heard = static_cast<CameraEventContext*>(context);
    CameraSession& camera = heard->events.camera;
    if (event == kEdsStateEvent_PicturesThroughMemory) camera.picturesThroughMemory = true;
    if (event != kEdsStateEvent_Shutdown) return EDS_ERR_OK;
    // A camera that is gone cannot take its settings back, nor send anything more.
    camera.connected = false;
    removeEventHandlers(camera.camera);
    heard->bodyGone = true;
    return EDS_ERR_OK;
}

void registerEventHandlers(const CameraEvents& events) {
    auto& context = eventContexts()[&events.camera];
    context = std::make_unique<CameraEventContext>(CameraEventContext{events});
    EdsCameraRef camera = events.camera.camera;
    EdsSetObjectEventHandler(camera, kEdsObjectEvent_All, onObjectEvent, context.get());
    EdsSetPropertyEventHandler(camera, kEdsPropertyEvent_All, onPropertyEvent, context.get());
    EdsSetCameraStateEventHandler(camera, kEdsStateEvent_All, onStateEvent, context.get());
}

// A value that cannot be read is not saved, and so is not written back.
std::optional<std::uint32_t> readSaved(EdsCameraRef camera, EdsPropertyID property) {
    EdsUInt32 value = 0;
    if (EdsGetPropertyData(camera, property, 0, sizeof value, &value) != EDS_ERR_OK) return std::nullopt;
    return value;
}

void restoreSaved(EdsCameraRef camera, EdsPropertyID property, std::optional<std::uint32_t> value) {
    if (value) EdsSetPropertyData(camera, property, 0, sizeof *value, &*value);
}

// The common tail of both ways to connect: the session's camera has an open session.
void finishConnect(const CameraEvents& events, const ConnectionSetting& setting, Window& window,
                   int cameraNumber) {
    CameraSession& session = events.camera;
    EdsCameraRef camera = session.camera;
    session.cameraNumber = cameraNumber;
    session.deviceInfo = EdsDeviceInfo{};
    EdsGetDeviceInfo(camera, &session.deviceInfo);
    const std::string description = session.deviceInfo.szDeviceDescription;
    session.modelIndex = findCameraModel(description);
    session.rules = modelRules(session.modelIndex);
    session.name = std::to_string(cameraNumber) + " - " + description;

    session.legacyProtocol = session.deviceInfo.deviceSubType == 0;
    setQualityCodes(setting.quality, session.legacyProtocol);

    registerEventHandlers(events);

    EdsUInt32 output = 0;
    session.liveViewAvailable =
        EdsGetPropertyData(camera, kEdsPropID_Evf_OutputDevice, 0, sizeof output, &output) == EDS_ERR_OK;

    session.bulbCommands = EdsSendCommand(camera, kEdsCameraCommand_BulbEnd, 0) == EDS_ERR_OK;
    session.shutterButton = EdsSendCommand(camera, kEdsCameraCommand_PressShutterButton,
                                           kEdsCameraCommand_ShutterButton_OFF) == EDS_ERR_OK;

    session.savedQuality = readSaved(camera, kEdsPropID_ImageQuality);
    session.savedIso = readSaved(camera, kEdsPropID_ISOSpeed);
    session.savedAperture = readSaved(camera, kEdsPropID_Av);
    session.savedSpeed = readSaved(camera, kEdsPropID_Tv);

    // Unknown until read: the previous camera's level must not colour this one's field.
    session.batteryLevel = kBatteryMains;
    EdsUInt32 battery = 0;
    if (EdsGetPropertyData(camera, kEdsPropID_BatteryLevel, 0, sizeof battery, &battery) == EDS_ERR_OK) {
        session.batteryLevel = battery;
        window.setItemText(kCameraField, session.name);
        if (battery != kBatteryMains) window.setTimer(kTimerBattery, kBatteryWatchMs);
    }

    session.uiLockSent = false;
    session.connected = true;
    events.run.cameraReady = true;

    session.longestCameraTimedMs =
        (!session.rules.pressShutterBody && (session.bulbCommands || session.shutterButton)) ? 3000 : 30000;

    window.setItemText(kCameraField, session.name);

    if (session.rules.lockupFixedOff) window.listSelectIndex(kLockupList, 0);
    if (session.rules.savesToHostOnly) {
        window.listSelectIndex(kSaveToList, 0);
        setting.options.saveToHost = true;
    }
}

void releaseCameraList(CameraSession& session) {
    if (session.cameraList) EdsRelease(session.cameraList);
    session.cameraList = nullptr;
}

} // namespace

bool isWantedBody(const StartupOptions& options, std::uint64_t bodyNumber) {
    if (options.connectSerialNumber) return bodyNumber == *options.connectSerialNumber;
    return static_cast<std::uint32_t>(bodyNumber) == options.connectNumber;
}

void installCameraEventPump(Window& window) {
    pumpWindow() = &window;
    EdsSetEventNotifier(
        [](EdsVoid* context) {
            static_cast<Window*>(context)->post({MessageKind::User, kUserCameraEvent, {}});
        },
        &window);
}

void removeCameraEventPump(Window& window) {
    if (pumpWindow() != &window) return;
    // Once this returns the SDK is certainly not inside the notifier any more.
    EdsSetEventNotifier(nullptr, nullptr);
    pumpWindow() = nullptr;
}

Connection openCamera(const CameraEvents& events, const ConnectionSetting& setting, Window& window) {
    CameraSession& session = events.camera;
    if (session.connectDialogOpen) return Connection::kNone;
    const int language = setting.language;

    if (setting.options.simulation) {
        session.name = messageText(language, kMessageSimulation);
        window.setItemText(kCameraField, session.name);
        session.connected = true;
        events.run.cameraReady = true;
        session.liveViewAvailable = false;
        return Connection::kSimulation;
    }

    session.connectDialogOpen = true;
    session.camera = nullptr;
    const int result =
        window.runModal(CONNECT_DIALOG, [&session, language](Window& dialog, const DialogMessage& message) {
            cameraChoiceProcedure(session, language, dialog, message);
        });
    // However the dialog went, it is gone.
    session.connectDialogOpen = false;
    releaseCameraList(session);
    if (result != kOkCommand) {
        if (session.camera) EdsRelease(session.camera);
        session.camera = nullptr;
        return Connection::kNone;
    }
    if (!session.camera) return Connection::kNone;

    const EdsError error = EdsOpenSession(session.camera);
    if (error != EDS_ERR_OK) {
        EdsRelease(session.camera);
        session.camera = nullptr;
        window.messageBox(cannotAccessText(language, error), messageText(language, kMessageError),
                          BoxIcon::Error, BoxButtons::Ok);
        return Connection::kNone;
    }
    finishConnect(events, setting, window, session.cameraNumber);
    return Connection::kBody;
}

std::string cannotAccessText(int language, EdsError error) {
    // A body listed, then switched off or unplugged before its session opened (Connect's list left open):
    // "Error 80" would tell the user nothing.
    return std::string(messageText(language, kMessageCannotAccess)) + "\r" +
           (error == EDS_ERR_DEVICE_NOT_FOUND ? messageText(language, kMessageCameraGone)
                                              : errorText(language, static_cast<std::int32_t>(error)));
}

namespace {

constexpr int kHeldBodyAskedAgain = 32;
constexpr unsigned kHeldBodyAskedEveryMs = 250;

BodyTried tryBody(const CameraEvents& events, const ConnectionSetting& setting, Window& window,
                  EdsCameraListRef list, EdsUInt32 index, EdsError* refused) {
    CameraSession& session = events.camera;
    EdsCameraRef camera = nullptr;
    if (EdsGetChildAtIndex(list, static_cast<EdsInt32>(index), &camera) != EDS_ERR_OK || !camera)
        return BodyTried::kNotWanted;
    if (const EdsError error = EdsOpenSession(camera)) {
        // A body another program holds (the desktop's volume monitor) is listed but cannot be opened.
        if (refused && *refused == EDS_ERR_OK) *refused = error;
        EdsRelease(camera);
        return error == EDS_ERR_COMM_PORT_IS_IN_USE ? BodyTried::kHeld : BodyTried::kNotWanted;
    }
    session.camera = camera;
    const std::uint32_t wanted = setting.options.connectNumber;
    std::uint64_t bodyNumber = 0;
    if (wanted == 0 ||
        (readBodyNumber(session, bodyNumber) == 0 && isWantedBody(setting.options, bodyNumber))) {
        finishConnect(events, setting, window, static_cast<int>(index) + 1);
        return BodyTried::kTaken;
    }
    EdsCloseSession(camera);
    EdsRelease(camera);
    session.camera = nullptr;
    return BodyTried::kNotWanted;
}

} // namespace

bool tryHeldBodiesAgain(std::vector<EdsUInt32> held, Clock& clock,
                        const std::function<BodyTried(EdsUInt32)>& tryBody) {
    for (int again = 0; !held.empty() && again < kHeldBodyAskedAgain; ++again) {
        clock.sleep(kHeldBodyAskedEveryMs);
        for (auto index = held.begin(); index != held.end();) {
            const BodyTried tried = tryBody(*index);
            if (tried == BodyTried::kTaken) return true;
            index = tried == BodyTried::kHeld ? index + 1 : held.erase(index);
        }
    }
    return false;
}

bool openWantedCamera(const CameraEvents& events, const ConnectionSetting& setting, Window& window,
                      Clock& clock, EdsError* refused) {
    if (refused) *refused = EDS_ERR_OK;
    if (setting.options.simulation) return false;
    EdsCameraListRef list = nullptr;
    if (EdsGetCameraList(&list) != EDS_ERR_OK) return false;
    bool connected = false;
    EdsUInt32 count = 0;
    EdsGetChildCount(list, &count);
    std::vector<EdsUInt32> held;
    for (EdsUInt32 index = 0; index < count && !connected; ++index) {
        const BodyTried tried = tryBody(events, setting, window, list, index, refused);
        connected = tried == BodyTried::kTaken;
        if (tried == BodyTried::kHeld) held.push_back(index);
    }
    if (!connected && setting.options.connectNumber != 0)
        connected = tryHeldBodiesAgain(held, clock, [&](EdsUInt32 index) {
            return tryBody(events, setting, window, list, index, nullptr);
        });
    EdsRelease(list);
    return connected;
}

void giveBackCameraSettings(CameraSession& session) {
    if (session.connected) {
        restoreSaved(session.camera, kEdsPropID_ImageQuality, session.savedQuality);
        restoreSaved(session.camera, kEdsPropID_ISOSpeed, session.savedIso);
        restoreSaved(session.camera, kEdsPropID_Av, session.savedAperture);
        restoreSaved(session.camera, kEdsPropID_Tv, session.savedSpeed);
        session.connected = false;
    }
}

void closeCamera(CameraSession& session, bool simulation, int language, Window& window) {
    window.killTimer(kTimerBattery);
    if (!simulation && session.camera) {
        removeEventHandlers(session.camera);
        EdsCloseSession(session.camera);
        EdsRelease(session.camera);
        session.camera = nullptr;
    }
    // No handler can reach the context any more.
    eventContexts().erase(&session);
    // The output went with the session; the next camera's live view must be switched on again.
    session.liveViewOutputOn = false;
    window.setItemText(kCameraField, messageText(language, kMessageNotConnected));
}

void batteryWatch(CameraSession& camera, const RunState& run, Window& window) {
    if (!run.cameraReady) return;
    EdsUInt32 level = 0;
    if (EdsGetPropertyData(camera.camera, kEdsPropID_BatteryLevel, 0, sizeof level, &level) != EDS_ERR_OK)
        return;
    camera.batteryLevel = level;
    window.setItemText(kCameraField, camera.name);
    window.refreshColours();
}

bool deliverEvents(const CameraSession& camera) {
    EdsGetEvent();
    const auto context = eventContexts().find(&camera);
    if (context == eventContexts().end() || !context->second->bodyGone) return false;
    context->second->bodyGone = false;
    return true;
}

} // namespace orvex

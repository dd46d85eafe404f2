#pragma once
// Choosing, connecting and losing the camera.
#include "core/camera_session.h"
#include "core/run_state.h"
#include "core/startup_options.h"
#include "core/transfer_queue.h"
#include "core/value_tables.h"
#include "platform/clock.h"
#include "platform/window.h"

#include <functional>
#include <string>
#include <vector>

namespace orvex {

// The main window's user message that says camera events wait for EdsGetEvent.
inline constexpr int kUserCameraEvent = 4001;
inline constexpr int kTimerBattery = 5;

// At SDK initialisation: every camera event that waits makes the window receive the camera-event user
// message, on its own thread, which then calls deliverCameraEvents.
void installCameraEventPump(Window& window);
// Before that window goes, unless EdsTerminateSDK came first: a camera event must never post to a window
// that is gone. Does nothing when the pump posts to another window.
void removeCameraEventPump(Window& window);
enum class Connection { kNone, kSimulation, kBody };

// A body is wanted by the whole serial number printed on it, or by that number's low 32 bits, the body
// identifier a 32-bit reading gives.
bool isWantedBody(const StartupOptions& options, std::uint64_t bodyNumber);

// What a connected body's events reach: its session, the run they count pictures for, the queue its
// pictures wait in, and whoever files a picture the body offers once the run is over (false: nobody wants
// it, and its download is cancelled).
struct CameraEvents {
    CameraSession& camera;
    RunState& run;
    TransferQueue& transfers;
    std::function<bool(EdsDirectoryItemRef)> fileLatePicture;
    // A picture of the run written on the body's card, told before the item is let go.
    std::function<void(EdsDirectoryItemRef)> pictureOnCard;
};

// What connecting reads and decides besides the session: the simulation and wanted-body options, Save to
// Host for bodies that can do nothing else, and the quality codes of the body's protocol.
struct ConnectionSetting {
    StartupOptions& options;
    ValueTable& quality;
    int language;
};

// Simulation, or the camera chosen in CONNECT_DIALOG; says what is connected now.
Connection openCamera(const CameraEvents& events, const ConnectionSetting& setting, Window& window);
// The first camera whose session opens, or the one with the wanted body id; true when one is connected. When
// none is, `refused` (if given) receives why the first camera that would not open refused, or EDS_ERR_OK.
bool openWantedCamera(const CameraEvents& events, const ConnectionSetting& setting, Window& window,
                      Clock& clock, EdsError* refused = nullptr);
// What came of trying one body of the camera list for a wanted body id.
enum class BodyTried { kHeld, kNotWanted, kTaken }; // kHeld: another program holds it
// Another Orvex started at the same moment, looking for its own body by its id, holds each body it tries only
// while it reads that id: the bodies of `held` (places in the camera list) that would not open are tried
// again, for a few seconds of `clock`, until one is taken; true when one was.
bool tryHeldBodiesAgain(std::vector<EdsUInt32> held, Clock& clock,
                        const std::function<BodyTried(EdsUInt32)>& tryBody);
// "Cannot access this camera !" and why, as the connection tells it.
std::string cannotAccessText(int language, EdsError error);
// The first step of a disconnection: a body still there takes back the settings it had at connection.
// From then on the program takes it as not connected.
void giveBackCameraSettings(CameraSession& camera);
// The last step: the session closed, the body's events no longer heard, the field says "not connected".
void closeCamera(CameraSession& camera, bool simulation, int language, Window& window);
// Timer 5, while cameraReady.
void batteryWatch(CameraSession& camera, const RunState& run, Window& window);
// Delivers the camera events that wait; true when the body shut down meanwhile (its events are no longer
// heard, and it is to be disconnected).
bool deliverEvents(const CameraSession& camera);

} // namespace orvex

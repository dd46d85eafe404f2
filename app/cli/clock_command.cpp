#include "app/cli/clock_command.h"

#include "app/cli/run_options.h"
#include "app/cli/session_time.h"
#include "app/profile_problem_text.h"
#include "camera/camera_clock.h"
#include "camera/camera_connection.h"
#include "camera/camera_properties.h"
#include "core/catalogue.h"
#include "core/startup_options.h"
#include "core/text_scan.h"
#include "sdk/virtual/virtual_camera.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace orvex::cli {
namespace {

constexpr int kMessageNoBodyWithId = 231;
constexpr int kMessageCameraNeedsValue = 291;
constexpr int kMessageNoOpenedBodyWithId = 227;
constexpr int kMessageClockTakes = 312;

// The wanted body's clock less the computer's, in milliseconds; none when no such body answers or it does
// not tell its time. Its session is closed again. `found` tells whether the wanted body opened: one that
// does not tell its time leaves no other body to stand in for it. `refused` receives why the first body
// that would not open refused.
std::optional<std::int64_t> bodyOffsetMs(const StartupOptions& wanted, Clock& clock, bool& found,
                                         EdsError& refused) {
    EdsCameraListRef list = nullptr;
    if (EdsGetCameraList(&list) != EDS_ERR_OK) return std::nullopt;
    std::optional<std::int64_t> offset;
    const auto tryBody = [&](EdsUInt32 index) {
        CameraSession session;
        if (EdsGetChildAtIndex(list, static_cast<EdsInt32>(index), &session.camera) != EDS_ERR_OK)
            return BodyTried::kNotWanted;
        const EdsError opened = EdsOpenSession(session.camera);
        if (opened != EDS_ERR_OK && refused == EDS_ERR_OK) refused = opened;
        if (opened == EDS_ERR_OK) {
            std::uint64_t bodyNumber = 0;
            found = !bodyWanted(wanted) ||
                    (readBodyNumber(session, bodyNumber) == 0 && isWantedBody(wanted, bodyNumber));
            if (found) offset = bodyClockOffsetMs(session, clock);
            EdsCloseSession(session.camera);
        }
        EdsRelease(session.camera);
        return found                                   ? BodyTried::kTaken
               : opened == EDS_ERR_COMM_PORT_IS_IN_USE ? BodyTried::kHeld
                                                       : BodyTried::kNotWanted;
    };
    EdsUInt32 count = 0;
    EdsGetChildCount(list, &count);
    std::vector<EdsUInt32> held;
    for (EdsUInt32 index = 0; index < count && !found; ++index)
        if (tryBody(index) == BodyTried::kHeld) held.push_back(index);
    if (!found && bodyWanted(wanted)) tryHeldBodiesAgain(held, clock, tryBody);
    EdsRelease(list);
    return offset;
}

} // namespace

int reportClock(const KernelClock& kernel, const std::vector<std::string>& args, int language,
                const std::function<std::shared_ptr<sdk::CameraDriver>()>& bodiesOnUsb, std::ostream& out,
                std::ostream& err) {
    std::optional<std::string> camera;
    StartupOptions wanted;
    for (const std::string& a : args) {
        if (a.rfind("--camera=", 0) == 0) {
            camera = a.substr(9);
            // As simulate and run refuse it: an empty one would be read as the first preset.
            if (camera->empty()) {
                err << "orvex-cli: " << messageText(language, kMessageCameraNeedsValue) << '\n';
                return 2;
            }
        } else if (a.rfind("--connect=", 0) == 0) {
            // Refused as simulate and run refuse it, rather than read as "the first body".
            if (const auto problem = refusedBodyId(a.substr(10), language)) {
                err << "orvex-cli: " << *problem << '\n';
                return 2;
            }
            readConnectValue(a.substr(10), wanted);
        } else {
            err << "orvex-cli: " << formatMessage(language, kMessageClockTakes, a) << '\n';
            return 2;
        }
    }
    const std::optional<KernelClockState> state = kernel.state();
    const bool synchronised = state && state->synchronised();
    out << "synchronised\t" << (synchronised ? "yes" : "no") << '\n';
    if (state) {
        out << "estimated_error\t" << decimalText(state->estimatedErrorS, 6) << '\n';
        out << "maximum_error\t" << decimalText(state->maximumErrorS, 6) << '\n';
    }
    if (const std::string source = kernel.timeSource(); !source.empty()) out << "source\t" << source << '\n';

    const std::unique_ptr<SessionTime> time = realTime();
    std::shared_ptr<sdk::CameraDriver> driver;
    if (camera) {
        ProfileProblem problem;
        const auto profile = loadVirtualProfile(*camera, problem);
        if (!profile) {
            err << "orvex-cli: " << profileProblemText(language, problem) << '\n';
            return 2;
        }
        driver = makeVirtualCamera(*profile, time->clock(), time->cameraTimers());
    } else {
        driver = bodiesOnUsb();
    }
    std::optional<std::int64_t> offset;
    bool found = false;
    EdsError refused = EDS_ERR_OK;
    if (driver && EdsInitializeSDK() == EDS_ERR_OK) {
        sdk::registerCameraDriver(driver);
        offset = bodyOffsetMs(wanted, time->clock(), found, refused);
        EdsTerminateSDK();
        sdk::unregisterCameraDriver(driver);
    }
    if (offset) out << "body_offset\t" << decimalText(static_cast<double>(*offset) / 1000.0, 3) << '\n';
    if (!found && bodyWanted(wanted)) {
        // A body another program holds (a desktop Orvex running the night) cannot tell its id.
        std::string text =
            formatMessage(language, refused != EDS_ERR_OK ? kMessageNoOpenedBodyWithId : kMessageNoBodyWithId,
                          wanted.connectText);
        if (refused != EDS_ERR_OK) text += " " + cannotAccessText(language, refused);
        std::replace(text.begin(), text.end(), '\r', ' ');
        err << "orvex-cli: " << text << '\n';
        return 1;
    }
    return synchronised ? 0 : 3;
}

} // namespace orvex::cli

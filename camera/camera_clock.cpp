#include "camera/camera_clock.h"

#include "core/catalogue.h"

#include <chrono>

namespace orvex {
namespace {

enum Message { kError = 54, kSuccess = 187, kClockSet = 190, kClockNotSet = 191 };

} // namespace

EdsTime cameraClockTime(const CivilTime& now) {
    using namespace std::chrono;
    const sys_days date = year_month_day{year{now.year}, month{static_cast<unsigned>(now.month)},
                                         day{static_cast<unsigned>(now.day)}};
    const sys_time<milliseconds> later = date + hours{now.hour} + minutes{now.minute} + seconds{now.second} +
                                         milliseconds{now.millisecond} + seconds{1};
    const sys_days laterDate = floor<days>(later);
    const year_month_day ymd{laterDate};
    const hh_mm_ss clock{later - laterDate};
    return EdsTime{static_cast<EdsUInt32>(static_cast<int>(ymd.year())),
                   static_cast<unsigned>(ymd.month()),
                   static_cast<unsigned>(ymd.day()),
                   static_cast<EdsUInt32>(clock.hours().count()),
                   static_cast<EdsUInt32>(clock.minutes().count()),
                   static_cast<EdsUInt32>(clock.seconds().count()),
                   static_cast<EdsUInt32>(clock.subseconds().count())};
}

void setCameraClock(const CameraSession& camera, const Clock& clock, int language, Window& w,
                    bool universalTime) {
    const EdsTime time = cameraClockTime(universalTime ? clock.universalTime() : clock.localTime());
    const EdsError error = camera.connected
                               ? EdsSetPropertyData(camera.camera, kEdsPropID_DateTime, 0, sizeof time, &time)
                               : EDS_ERR_COMM_DISCONNECTED;
    if (error == EDS_ERR_OK)
        w.messageBox(messageText(language, kClockSet), messageText(language, kSuccess), BoxIcon::Warning,
                     BoxButtons::Ok);
    else
        w.messageBox(messageText(language, kClockNotSet), messageText(language, kError), BoxIcon::Error,
                     BoxButtons::Ok);
}

std::optional<std::int64_t> bodyClockOffsetMs(const CameraSession& camera, const Clock& clock) {
    EdsTime body{};
    if (EdsGetPropertyData(camera.camera, kEdsPropID_DateTime, 0, sizeof body, &body) != EDS_ERR_OK)
        return std::nullopt;
    const CivilTime civil{static_cast<int>(body.year),        static_cast<int>(body.month),
                          static_cast<int>(body.day),         static_cast<int>(body.hour),
                          static_cast<int>(body.minute),      static_cast<int>(body.second),
                          static_cast<int>(body.milliseconds)};
    return msFromCivil(civil) - msFromCivil(clock.localTime());
}

} // namespace orvex

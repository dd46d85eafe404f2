#include "sdk/gphoto2/gphoto_events.h"

namespace orvex::gphoto {
namespace {

struct Watched {
    std::string_view widget;
    EdsPropertyID property;
};

constexpr Watched kWatched[] = {
    {"aperture", kEdsPropID_Av},
    {"shutterspeed", kEdsPropID_Tv},
    {"iso", kEdsPropID_ISOSpeed},
    {"imageformat", kEdsPropID_ImageQuality},
    {"autoexposuremode", kEdsPropID_AEMode},
    {"drivemode", kEdsPropID_DriveMode},
    {"focusmode", kEdsPropID_AFMode},
    {"batterylevel", kEdsPropID_BatteryLevel},
    {"availableshots", kEdsPropID_AvailableShots},
    {"lensname", kEdsPropID_LensStatus},
    {"ownername", kEdsPropID_OwnerName},
    {"datetime", kEdsPropID_DateTime},
};

} // namespace

BodyNews readEventText(std::string_view text) {
    BodyNews news;
    if (text.rfind("Focus Info ", 0) == 0) news.focusFound = text.find("0000200") == std::string_view::npos;
    if (text.rfind("FocusInfo ", 0) == 0 && text.find("select={}") == std::string_view::npos)
        news.focusFound = true;
    if (text.rfind("PTP Property ", 0) != 0) return news;
    const auto open = text.find(" changed, \"");
    if (open == std::string_view::npos) return news;
    const auto start = open + 11;
    const auto close = text.find('"', start);
    if (close == std::string_view::npos) return news;
    const std::string_view widget = text.substr(start, close - start);
    for (const Watched& w : kWatched)
        if (w.widget == widget) news.property = w.property;
    const auto to = text.find(" to \"", close);
    if (to != std::string_view::npos && text.size() > to + 5 && text.back() == '"')
        news.value = std::string(text.substr(to + 5, text.size() - to - 6));
    return news;
}

} // namespace orvex::gphoto

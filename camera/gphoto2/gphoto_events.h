#pragma once
// What the texts of libgphoto2's "unknown" events tell the program: the EOS driver reports a changed setting
// as `PTP Property d103 changed, "iso" to "400"`. "unhandled EOS event WillSoonShutdown (size N)" is only the
// body's auto power-off warning, which the library answers itself by keeping the body awake at every poll: a
// body that does switch off shows as failing calls.
#include "camera/sdk.h"

#include <optional>
#include <string_view>

namespace orvex::gphoto {

struct BodyNews {
    std::optional<EdsPropertyID> property; // a property the program knows changed
};

BodyNews readEventText(std::string_view text);

} // namespace orvex::gphoto

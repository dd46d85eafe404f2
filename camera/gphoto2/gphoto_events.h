#pragma once
// What the texts of libgphoto2's "unknown" events tell the program. The EOS driver reports a body about
// to switch off as "unhandled EOS event WillSoonShutdown (size N)" and a changed setting as
// `PTP Property d103 changed, "iso" to "400"`.
#include "camera/sdk.h"

#include <optional>
#include <string_view>

namespace orvex::gphoto {

struct BodyNews {
    bool shutdown = false;
    std::optional<EdsPropertyID> property; // a property the program knows changed
};

BodyNews readEventText(std::string_view text);

} // namespace orvex::gphoto

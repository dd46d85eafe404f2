#pragma once
// What the texts of libgphoto2's "unknown" events tell the program: the EOS driver reports a changed setting
// as `PTP Property d103 changed, "iso" to "400"`. "unhandled EOS event WillSoonShutdown (size N)" is only the
// body's auto power-off warning, which the library answers itself by keeping the body awake at every poll: a
// body that does switch off shows as failing calls. A half press's focus is told as "Focus Info …" (its
// value holds 0000200 when the body found none) or as the FocusInfoEx property, "FocusInfo …", whose
// "select={}" means not yet.
#include "sdk/sdk.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvex::gphoto {

struct BodyNews {
    std::optional<EdsPropertyID> property; // a property the program knows changed
    std::optional<std::string> value;      // its new value, as the library labels it
    std::optional<bool> focusFound;        // the body's word on its focus
};

BodyNews readEventText(std::string_view text);

} // namespace orvex::gphoto

#pragma once
// The EOS property codes of sdk.h and the labels libgphoto2's EOS driver shows for them, in one place.
// The library's widgets hold labels, never codes; labels are matched as the library writes them in the C
// locale. Aperture, speed, ISO, AE mode, drive mode and AF mode codes are Canon's own, the same on both
// sides; image quality codes differ and are mapped label by label.
#include "sdk/sdk.h"

#include <optional>
#include <string>
#include <string_view>

namespace orvex::gphoto {

// The widget that carries a property as a label; none for properties the driver reaches otherwise.
const char* labelWidget(EdsPropertyID property);

// The code of a label the library shows for the property, also of its "Unknown value 00xx" form where the
// codes are Canon's own. None for a label the driver does not know.
std::optional<EdsUInt32> codeOfLabel(EdsPropertyID property, std::string_view label);
// The label to write for a code; none for a code without one.
std::optional<std::string> labelOfCode(EdsPropertyID property, EdsUInt32 code);

} // namespace orvex::gphoto

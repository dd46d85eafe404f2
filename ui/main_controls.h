#pragma once
// The main window's texts, menu, enabling rules and field colours, derived from the records.
#include "core/program.h"
#include "platform/window.h"

namespace orvex {

// The nine colours the fields are painted with.
namespace colours {
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb green{0, 255, 0};
inline constexpr Rgb yellow{255, 255, 0};
inline constexpr Rgb orange{255, 128, 0};
inline constexpr Rgb cyan{0, 255, 255};
inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb magenta{255, 0, 255};
inline constexpr Rgb lightBeige{236, 233, 216};
inline constexpr Rgb white{255, 255, 255};
} // namespace colours

// The run state's text in the status field; the Wait field is emptied.
void showStatusText(const Program& program, Window& window);
void buildMainTexts(Program& program, Window& window);
void updateMainControls(Program& program, Window& window);
FieldColour colourField(const Program& program, int controlId);
void showDetectionLevel(Program& program, Window& window);

} // namespace orvex

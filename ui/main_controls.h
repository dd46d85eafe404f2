#pragma once
// The main window's texts, menu, enabling rules and field colours, derived from the records.
#include "core/camera_session.h"
#include "core/run_state.h"
#include "core/script.h"
#include "core/startup_options.h"
#include "platform/window.h"

#include <string>
#include <vector>

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

// What the main window's rules read; none of them changes a record.
struct MainView {
    const RunState& run;
    const CameraSession& camera;
    const Script& script;
    const StartupOptions& options;
    const std::vector<std::string>& availablePorts; // the serial port list's entries
    bool slaveMode;
    int language;
};

// The run state's text in the status field; the Wait field is emptied.
void showStatusText(const MainView& view, Window& window);
void buildMainTexts(const MainView& view, Window& window);
void updateMainControls(const MainView& view, Window& window);
FieldColour colourField(const MainView& view, int controlId);
void showDetectionLevel(const RunState& run, Window& window);

} // namespace orvex

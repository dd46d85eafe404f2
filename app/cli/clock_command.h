#pragma once
// `orvex-cli clock`: whether the computer's clock can be trusted with a night's moments, and how far a
// body's clock is from it.
#include "platform/kernel_clock.h"
#include "sdk/camera_driver.h"

#include <functional>
#include <memory>

#include <ostream>
#include <string>
#include <vector>

namespace orvex::cli {

// One "name<TAB>value" line each: synchronised (yes or no), estimated_error and maximum_error in seconds,
// source when chrony or timesyncd names one, and body_offset in seconds (the body's clock less the
// computer's) when a body answers: the virtual body of --camera, the one --connect names, or the first on
// USB. Returns 0 when the clock is synchronised, 3 when it is not, 2 for arguments it cannot use and 1 when
// the body --connect names is not there. `bodiesOnUsb` gives the driver of the bodies on USB.
int reportClock(const KernelClock& kernel, const std::vector<std::string>& args, int language,
                const std::function<std::shared_ptr<sdk::CameraDriver>()>& bodiesOnUsb, std::ostream& out,
                std::ostream& err);

} // namespace orvex::cli

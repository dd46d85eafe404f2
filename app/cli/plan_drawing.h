#pragma once
// The plan of a rehearsed night as an SVG picture: one lane per script line on a clock-time axis.
#include "app/cli/plan.h"

#include <string>

namespace orvex::cli {

// Shapes that would stand closer than a few pixels on a lane are drawn as one, whose title counts them: a
// day of shots every ten seconds stays a picture of a few hundred shapes.
std::string drawPlan(const Plan& plan);

} // namespace orvex::cli

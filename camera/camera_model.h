#pragma once
// Which model a connected body is, and the rules that model brings.
#include "core/model_rules.h"

#include <string>

namespace orvex {

// Index 0..24 of the first model whose search text (" 1200D" … " 1D") the description contains; 25 otherwise.
int findCameraModel(const std::string& description);
ModelRules modelRules(int model);

} // namespace orvex

#pragma once
// The program's icon, drawn rather than shipped so that it is sharp at every size the desktop asks for.
#include <QIcon>

namespace orvex {

QIcon programIcon();

} // namespace orvex

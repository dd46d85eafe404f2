#pragma once
// The grid in which an EOS body places its live view zoom area.
#include "sdk/sdk.h"

#include <string>

namespace orvex::gphoto {

// The library hands "eoszoomposition" to the body as it is given: x and y of the zoom area's top-left corner
// in the body's own coordinates, its sensor's pixels, not those of the preview frames. The library tells
// neither that grid nor where the area is ("0,0" whatever it is), so the grid comes from the model's name;
// a body this list does not name is taken as the 18-megapixel sensor most of the range shares.
EdsSize sensorGrid(const std::string& model);

// The top-left corner of a zoom area, a fifth of each side, in the middle of the grid.
EdsPoint centredZoomArea(EdsSize grid);

} // namespace orvex::gphoto

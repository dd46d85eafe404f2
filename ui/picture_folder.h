#pragma once
// The Pictures menu: the picture folder opened in the picture browser, and the program's pictures erased.
#include "platform/shell.h"
#include "platform/window.h"

#include <string>

namespace orvex {

// A name the transfer gives: [prefix_]YYYY-MM-DD_hh-mm-ss_NNNN.ext, or a camera's own name made unique
// after a clash (IMG_0001-1.JPG). Anything else in the folder belongs to the user.
bool isPictureName(const std::string& name);

// Creates the picture folder and starts the picture browser named in the settings on it.
void openPictureFolder(const std::string& folder, const std::string& browser, Shell* shell, int language,
                       Window& window);
// After the user confirms, deletes the pictures of the picture folder; other files stay.
void erasePictures(const std::string& folder, int language, Window& window);

} // namespace orvex

#pragma once
// Real Canon EOS bodies on USB, through libgphoto2, as a camera driver of the SDK layer:
//
//     orvex::sdk::registerCameraDriver(orvex::makeGphotoDriver());
//
// The bodies are those the library's autodetection finds, in its order, described by their model text.
#include "sdk/camera_driver.h"

#include <memory>

namespace orvex {

std::shared_ptr<sdk::CameraDriver> makeGphotoDriver();

} // namespace orvex

#pragma once
// libgphoto2 keeps process-wide state without a lock (its settings file, the loaded drivers, logging), and
// its EOS driver changes TZ while it writes the camera clock. Every call into the library holds this lock,
// whichever thread owns the camera it concerns.
#include <mutex>

namespace orvex::gphoto {

std::mutex& libraryLock();

} // namespace orvex::gphoto

#pragma once
// One file of a virtual shot, as the body announces it: made when first asked for, sent to whoever
// downloads it.
#include "sdk/camera_driver.h"
#include "sdk/virtual/eos_codes.h"
#include "sdk/virtual/picture_files.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace orvex {

// Waits, on the transfer worker, for as long as a download takes in real time (ms).
using DownloadPace = std::function<void(unsigned ms)>;

} // namespace orvex

namespace orvex::virtualcam {

struct FilePlan {
    std::string fileName; // "IMG_0001.JPG"
    FileKind kind = FileKind::Jpeg;
    int jpegSize = 0; // 0 large, 1 medium, 2 small
    bool fine = true;
    PictureFacts facts;
    bool failDownload = false;
    unsigned downloadMs = 0; // at the profile's link speed
    bool unseen = false;     // the smallest picture that carries the facts
};

class VirtualItem final : public sdk::DriverItem {
  public:
    // `reachable` answers EDS_ERR_OK while the body can still send the file, or the error to report.
    VirtualItem(FilePlan plan, std::function<EdsError()> reachable, DownloadPace pace);

    EdsError info(EdsDirectoryItemInfo& out) override;
    EdsError awaitContent() override;
    EdsError download(EdsUInt64 size, sdk::ByteSink& out) override;
    EdsError downloadCancel() override;
    EdsError downloadComplete() override;
    // No shootingTime: the program reads the time from the file's EXIF data, as from a real body.

  private:
    const Bytes& bytes(); // under lock_

    const FilePlan plan_;
    const std::function<EdsError()> reachable_;
    const DownloadPace pace_;
    std::mutex lock_;
    std::optional<Bytes> bytes_;
    enum class State { Waiting, Completed, Cancelled } state_ = State::Waiting;
};

} // namespace orvex::virtualcam

#pragma once
// A file a libgphoto2 body announced. A picture taken for the computer arrives in the library's memory
// (folder "/", named captNNNN.*) and stays there until the program has it or lets it go; a picture taken
// to the card stays on the card.
#include "camera/camera_driver.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvex::gphoto {

class GphotoBody;

class GphotoItem final : public sdk::DriverItem {
  public:
    GphotoItem(std::weak_ptr<GphotoBody> body, std::string folder, std::string name, bool inMemory);

    EdsError info(EdsDirectoryItemInfo& out) override;
    EdsError download(EdsUInt64 size, sdk::ByteSink& out) override;
    EdsError downloadCancel() override;
    EdsError downloadComplete() override;

  private:
    EdsError fetch(); // under lock_
    EdsError letGo();

    const std::weak_ptr<GphotoBody> body_;
    const std::string folder_, name_;
    const bool inMemory_;
    std::mutex lock_;
    std::optional<std::vector<char>> bytes_;
    bool done_ = false;
};

} // namespace orvex::gphoto

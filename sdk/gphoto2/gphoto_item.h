#pragma once
// A file a libgphoto2 body announced. A picture taken for the computer is held by the item whatever becomes
// of the body: either read out of the library's memory (folder "/", named captNNNN.*) the moment it is
// announced, or brought over from the card piece by piece after it is announced, in which case the card's
// copy goes only once the program has stored the picture whole (the download completed); cancelled, for
// whatever reason, it stays on the card. A picture taken to the card stays there.
#include "sdk/camera_driver.h"
#include "sdk/gphoto2/card_files.h"
#include "sdk/gphoto2/card_picture.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orvex::gphoto {

class GphotoItem final : public sdk::DriverItem {
  public:
    // A file on the card, read through the body when asked.
    GphotoItem(std::weak_ptr<CardFiles> body, std::string folder, std::string name);
    // A picture taken for the computer, read out of the library's memory, or the error reading it gave.
    GphotoItem(const std::string& libraryName, std::vector<char> bytes, EdsError readError);
    // A picture for the computer, still coming over from the card.
    GphotoItem(std::weak_ptr<CardFiles> body, std::shared_ptr<CardPicture> picture);

    EdsError info(EdsDirectoryItemInfo& out) override;
    EdsError download(EdsUInt64 size, sdk::ByteSink& out) override;
    EdsError awaitContent() override;
    EdsError downloadCancel() override;
    EdsError downloadComplete() override;
    std::shared_ptr<sdk::DriverItem> parent() override;

  private:
    EdsError fetch(); // under lock_
    EdsError letGo(bool stored);

    const std::weak_ptr<CardFiles> body_;
    const std::string folder_, name_;
    const bool inMemory_;
    const std::shared_ptr<CardPicture> picture_; // for a picture coming over from the card
    const EdsError readError_ = EDS_ERR_OK;
    std::mutex lock_;
    std::optional<std::vector<char>> bytes_;
    bool done_ = false;
};

} // namespace orvex::gphoto

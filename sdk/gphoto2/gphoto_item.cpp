#include "sdk/gphoto2/gphoto_item.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <cstdio>

namespace orvex::gphoto {
namespace {

// A body names its files on the card with an upper-case extension, which the program keeps; the library
// names those it takes into its memory in lower case: "capt0000.cr2" is told as "capt0000.CR2".
std::string cardStyleName(const std::string& libraryName) {
    std::string name = libraryName;
    for (std::size_t i = name.find('.'); i < name.size(); ++i) name[i] = upperAscii(name[i]);
    return name;
}

} // namespace

GphotoItem::GphotoItem(std::weak_ptr<CardFiles> body, std::string folder, std::string name)
    : body_(std::move(body)), folder_(std::move(folder)), name_(std::move(name)), inMemory_(false) {}

GphotoItem::GphotoItem(const std::string& libraryName, std::vector<char> bytes, EdsError readError)
    : folder_("/"), name_(cardStyleName(libraryName)), inMemory_(true), readError_(readError) {
    if (!readError) bytes_ = std::move(bytes);
}

GphotoItem::GphotoItem(std::weak_ptr<CardFiles> body, std::shared_ptr<CardPicture> picture)
    : body_(std::move(body)), folder_(picture->folder), name_(picture->name), inMemory_(false),
      picture_(std::move(picture)) {}

EdsError GphotoItem::awaitContent() {
    return picture_ ? picture_->await() : EDS_ERR_OK;
}

EdsError GphotoItem::fetch() {
    if (bytes_) return EDS_ERR_OK;
    if (done_) return EDS_ERR_INVALID_HANDLE;
    if (inMemory_) return readError_;
    if (picture_) {
        if (const EdsError e = picture_->await()) return e;
        bytes_ = picture_->take();
        return EDS_ERR_OK;
    }
    const std::shared_ptr<CardFiles> body = body_.lock();
    if (!body) return EDS_ERR_COMM_DISCONNECTED;
    std::vector<char> bytes;
    if (const EdsError e = body->fetchFile(folder_, name_, bytes)) return e;
    bytes_ = std::move(bytes);
    return EDS_ERR_OK;
}

EdsError GphotoItem::info(EdsDirectoryItemInfo& out) {
    std::lock_guard guard(lock_);
    out = EdsDirectoryItemInfo{};
    std::snprintf(out.szFileName, sizeof out.szFileName, "%s", name_.c_str());
    // A file on the card is only announced, never brought over: its size is not needed. A file that could
    // not be read is still one the body announced: its download says what went wrong.
    if (picture_)
        out.size = static_cast<EdsUInt32>(std::min<std::uint64_t>(picture_->size, 0xFFFFFFFFu));
    else if (inMemory_ && bytes_)
        out.size = static_cast<EdsUInt32>(std::min<std::size_t>(bytes_->size(), 0xFFFFFFFFu));
    return EDS_ERR_OK;
}

EdsError GphotoItem::download(EdsUInt64 size, sdk::ByteSink& out) {
    std::lock_guard guard(lock_);
    if (const EdsError e = fetch()) return e;
    return out.write(bytes_->data(), static_cast<std::size_t>(std::min<EdsUInt64>(size, bytes_->size())));
}

EdsError GphotoItem::letGo(bool stored) {
    std::lock_guard guard(lock_);
    // It stops coming over if it still was; stored, and only then, it leaves the card.
    if (picture_ && !done_) {
        picture_->letGo();
        if (stored)
            if (const std::shared_ptr<CardFiles> body = body_.lock()) body->forget(folder_, name_);
    }
    done_ = true;
    bytes_.reset();
    return EDS_ERR_OK;
}

EdsError GphotoItem::downloadCancel() {
    return letGo(false);
}

EdsError GphotoItem::downloadComplete() {
    return letGo(true);
}

namespace {

// The card folder of a file, named by its path on the card.
class CardFolder final : public sdk::DriverItem {
  public:
    explicit CardFolder(std::string path) : path_(std::move(path)) {}
    EdsError info(EdsDirectoryItemInfo& out) override {
        out = EdsDirectoryItemInfo{};
        out.isFolder = 1;
        std::snprintf(out.szFileName, sizeof out.szFileName, "%s", path_.c_str());
        return EDS_ERR_OK;
    }
    EdsError download(EdsUInt64, sdk::ByteSink&) override { return EDS_ERR_NOT_SUPPORTED; }
    EdsError downloadCancel() override { return EDS_ERR_OK; }
    EdsError downloadComplete() override { return EDS_ERR_OK; }

  private:
    const std::string path_;
};

} // namespace

// The library names a card folder after the card's store ("/store_00020001/DCIM/100CANON"); the user knows
// it without that.
std::shared_ptr<sdk::DriverItem> GphotoItem::parent() {
    if (inMemory_) return nullptr;
    std::string path = folder_;
    if (path.rfind("/store_", 0) == 0) path.erase(0, std::min(path.size(), path.find('/', 1)));
    if (!path.empty() && path.front() == '/') path.erase(0, 1);
    return std::make_shared<CardFolder>(path);
}

} // namespace orvex::gphoto

#include "camera/gphoto2/gphoto_item.h"

#include "camera/gphoto2/gphoto_body.h"

#include <algorithm>
#include <cstdio>

namespace orvex::gphoto {

GphotoItem::GphotoItem(std::weak_ptr<GphotoBody> body, std::string folder, std::string name, bool inMemory)
    : body_(std::move(body)), folder_(std::move(folder)), name_(std::move(name)), inMemory_(inMemory) {}

EdsError GphotoItem::fetch() {
    if (bytes_) return EDS_ERR_OK;
    if (done_) return EDS_ERR_INVALID_HANDLE;
    const std::shared_ptr<GphotoBody> body = body_.lock();
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
    // A file on the card is only announced, never brought over: its size is not needed. A file that cannot
    // be read is still one the body announced: its download says what went wrong.
    if (inMemory_ && fetch() == EDS_ERR_OK)
        out.size = static_cast<EdsUInt32>(std::min<std::size_t>(bytes_->size(), 0xFFFFFFFFu));
    return EDS_ERR_OK;
}

EdsError GphotoItem::download(EdsUInt64 size, sdk::ByteSink& out) {
    std::lock_guard guard(lock_);
    if (const EdsError e = fetch()) return e;
    return out.write(bytes_->data(), static_cast<std::size_t>(std::min<EdsUInt64>(size, bytes_->size())));
}

EdsError GphotoItem::letGo() {
    std::lock_guard guard(lock_);
    if (done_) return EDS_ERR_OK;
    done_ = true;
    bytes_.reset();
    if (!inMemory_) return EDS_ERR_OK;
    // The library holds the whole picture in memory until it is deleted there.
    const std::shared_ptr<GphotoBody> body = body_.lock();
    return body ? body->freeFile(folder_, name_) : EDS_ERR_OK;
}

EdsError GphotoItem::downloadCancel() {
    return letGo();
}

EdsError GphotoItem::downloadComplete() {
    return letGo();
}

} // namespace orvex::gphoto

#include "sdk/virtual/virtual_item.h"

#include "platform/headless/virtual_clock.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orvex::virtualcam {
namespace {

// Object formats as the body's file list gives them.
EdsUInt32 objectFormat(FileKind kind) {
    switch (kind) {
    case FileKind::Jpeg:
        return 0x3801;
    case FileKind::Cr2:
        return 0xB103;
    case FileKind::Crw:
        return 0xB101;
    case FileKind::Thumbnail:
        return 0x3808;
    }
    return 0;
}

// Encoding a picture nobody looks at is most of a long rehearsal's work.
constexpr int kUnseenWidth = 16;

} // namespace

VirtualItem::VirtualItem(FilePlan plan, std::function<EdsError()> reachable, DownloadPace pace)
    : plan_(std::move(plan)), reachable_(std::move(reachable)), pace_(std::move(pace)) {}

const Bytes& VirtualItem::bytes() {
    if (!bytes_) {
        switch (plan_.kind) {
        case FileKind::Jpeg: {
            static constexpr int kWidths[] = {320, 240, 160};
            const int width = plan_.unseen ? kUnseenWidth : kWidths[std::clamp(plan_.jpegSize, 0, 2)];
            bytes_ = makeJpegPicture(plan_.facts, width, width * 3 / 4, plan_.fine);
            break;
        }
        case FileKind::Thumbnail:
            bytes_ = makeJpegPicture(plan_.facts, plan_.unseen ? kUnseenWidth : 160,
                                     plan_.unseen ? kUnseenWidth * 3 / 4 : 120, false);
            break;
        case FileKind::Cr2:
        case FileKind::Crw:
            bytes_ = makeRawPicture(plan_.facts, plan_.kind == FileKind::Cr2);
            break;
        }
    }
    return *bytes_;
}

EdsError VirtualItem::info(EdsDirectoryItemInfo& out) {
    if (const EdsError error = reachable_()) return error;
    std::lock_guard guard(lock_);
    out = EdsDirectoryItemInfo{};
    out.size = static_cast<EdsUInt32>(bytes().size());
    out.isFolder = kEdsFalse;
    out.format = objectFormat(plan_.kind);
    const EdsTime& t = plan_.facts.taken;
    out.dateTime = static_cast<EdsUInt32>(
        msFromCivil(CivilTime{static_cast<int>(t.year), static_cast<int>(t.month), static_cast<int>(t.day),
                              static_cast<int>(t.hour), static_cast<int>(t.minute),
                              static_cast<int>(t.second), 0}) /
        1000);
    std::strncpy(out.szFileName, plan_.fileName.c_str(), sizeof out.szFileName - 1);
    return EDS_ERR_OK;
}

// The link's time passes here, outside the camera's lock: the body takes the program's calls meanwhile.
EdsError VirtualItem::awaitContent() {
    if (const EdsError error = reachable_()) return error;
    if (!pace_ || plan_.downloadMs == 0) return EDS_ERR_OK;
    // A failing link breaks half-way; a body switched off meanwhile never finishes sending.
    pace_(plan_.failDownload ? plan_.downloadMs / 2 : plan_.downloadMs);
    return reachable_();
}

EdsError VirtualItem::download(EdsUInt64 size, sdk::ByteSink& out) {
    if (const EdsError error = reachable_()) return error;
    std::lock_guard guard(lock_);
    // A file the program has taken or turned down is gone from the body's buffer.
    if (state_ != State::Waiting) return EDS_ERR_OPERATION_REFUSED;
    const Bytes& data = bytes();
    std::size_t n = static_cast<std::size_t>(std::min<EdsUInt64>(size, data.size()));
    // Half the file arrives, then the link breaks, leaving a truncated file where the program saves it.
    if (plan_.failDownload) n /= 2;
    if (n > 0)
        if (const EdsError error = out.write(data.data(), n)) return error;
    return plan_.failDownload ? EDS_ERR_INCOMPLETE_TRANSFER : EDS_ERR_OK;
}

EdsError VirtualItem::downloadCancel() {
    if (const EdsError error = reachable_()) return error;
    std::lock_guard guard(lock_);
    if (state_ == State::Waiting) state_ = State::Cancelled;
    return EDS_ERR_OK;
}

EdsError VirtualItem::downloadComplete() {
    if (const EdsError error = reachable_()) return error;
    std::lock_guard guard(lock_);
    if (state_ == State::Cancelled) return EDS_ERR_OPERATION_REFUSED;
    state_ = State::Completed;
    bytes_.reset(); // the body forgets the file once it is safely on the computer
    return EDS_ERR_OK;
}

} // namespace orvex::virtualcam

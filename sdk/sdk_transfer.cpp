// Files on the camera, streams, image references and live view frames.
#include "sdk/sdk.h"

#include "sdk/exif_time.h"
#include "sdk/sdk_call_guard.h"
#include "sdk/sdk_objects.h"

#include <cstring>
#include <limits>

using namespace orvex::sdk;
using namespace orvex::sdk::detail;

namespace {

// A call on the file behind `ref`, in the session that announced it.
template <class Fn> EdsError onItem(EdsBaseRef ref, Fn&& fn) {
    const auto item = findHandle<ItemObject>(ref);
    if (!item) return EDS_ERR_INVALID_HANDLE;
    return callInSession(*item->camera, item->session, [&](DriverCamera&) { return fn(*item); });
}

// What the camera says about the picture last downloaded into the stream; EDS_ERR_NOT_SUPPORTED when the
// file itself has to tell.
EdsError shootingTimeFromCamera(Stream& stream, std::optional<EdsTime>& out) {
    const DownloadSource source = stream.source();
    if (!source.item) return EDS_ERR_NOT_SUPPORTED;
    EdsTime time{};
    const EdsError error = callInSession(*source.camera, source.session,
                                         [&](DriverCamera&) { return source.item->shootingTime(time); });
    if (error == EDS_ERR_SESSION_NOT_OPEN) return EDS_ERR_NOT_SUPPORTED;
    if (error == EDS_ERR_OK) out = time;
    return error;
}

} // namespace

EdsError EdsGetDirectoryItemInfo(EdsDirectoryItemRef ref, EdsDirectoryItemInfo* outInfo) {
    return guarded([&] {
        if (!findHandle<ItemObject>(ref)) return EDS_ERR_INVALID_HANDLE;
        if (outInfo == nullptr) return EDS_ERR_INVALID_POINTER;
        std::memset(outInfo, 0, sizeof *outInfo);
        const EdsError error = onItem(ref, [&](ItemObject& item) { return item.item->info(*outInfo); });
        // The file name becomes part of a path: it must end inside its array.
        outInfo->szFileName[EDS_MAX_NAME - 1] = '\0';
        return error;
    });
}

EdsError EdsDownload(EdsDirectoryItemRef ref, EdsUInt64 size, EdsStreamRef streamRef) {
    return guarded([&] {
        const auto stream = findHandle<Stream>(streamRef);
        const auto found = findHandle<ItemObject>(ref);
        if (!found || !stream) return EDS_ERR_INVALID_HANDLE;
        if (const EdsError error = found->item->awaitContent()) return error;
        return onItem(ref, [&](ItemObject& item) {
            if (const EdsError error = item.item->download(size, *stream)) return error;
            // A full disk shows here, while the program can still report it, rather than when the file
            // closes.
            if (const EdsError error = stream->flush()) return error;
            stream->setSource(DownloadSource{item.camera, item.session, item.item});
            return EDS_ERR_OK;
        });
    });
}

EdsError EdsDownloadCancel(EdsDirectoryItemRef ref) {
    return guarded([&] { return onItem(ref, [](ItemObject& item) { return item.item->downloadCancel(); }); });
}

EdsError EdsDownloadComplete(EdsDirectoryItemRef ref) {
    return guarded(
        [&] { return onItem(ref, [](ItemObject& item) { return item.item->downloadComplete(); }); });
}

EdsError EdsGetParent(EdsBaseRef ref, EdsBaseRef* outParent) {
    return guarded([&] {
        if (outParent == nullptr) return EDS_ERR_INVALID_POINTER;
        *outParent = nullptr;
        const auto item = findHandle<ItemObject>(ref);
        if (!item) return EDS_ERR_INVALID_HANDLE;
        std::shared_ptr<DriverItem> folder = item->item->parent();
        if (!folder) return EDS_ERR_NOT_SUPPORTED;
        return addHandle(std::make_shared<ItemObject>(item->camera, item->session, std::move(folder)),
                         *outParent);
    });
}

EdsError EdsCreateFileStream(const EdsChar* path, EdsFileCreateDisposition disposition, EdsAccess access,
                             EdsStreamRef* outStream) {
    return guarded([&] {
        if (path == nullptr || outStream == nullptr) return EDS_ERR_INVALID_POINTER;
        *outStream = nullptr;
        if (!handleTableOpen()) return EDS_ERR_INTERNAL_ERROR;
        std::shared_ptr<FileStream> stream;
        if (const EdsError error = FileStream::open(path, disposition, access, stream)) return error;
        return addHandle(std::move(stream), *outStream);
    });
}

EdsError EdsCreateMemoryStream(EdsUInt64 initialCapacity, EdsStreamRef* outStream) {
    return guarded([&] {
        if (outStream == nullptr) return EDS_ERR_INVALID_POINTER;
        *outStream = nullptr;
        if (!handleTableOpen()) return EDS_ERR_INTERNAL_ERROR;
        if (initialCapacity > std::numeric_limits<std::size_t>::max()) return EDS_ERR_MEM_ALLOC_FAILED;
        return addHandle(std::make_shared<MemoryStream>(static_cast<std::size_t>(initialCapacity)),
                         *outStream);
    });
}

EdsError EdsGetPointer(EdsStreamRef ref, EdsVoid** outPointer) {
    return guarded([&] {
        const auto stream = findHandle<MemoryStream>(ref);
        if (!stream) return EDS_ERR_INVALID_HANDLE;
        if (outPointer == nullptr) return EDS_ERR_INVALID_POINTER;
        *outPointer = stream->pointer();
        return EDS_ERR_OK;
    });
}

EdsError EdsGetLength(EdsStreamRef ref, EdsUInt64* outLength) {
    return guarded([&] {
        const auto stream = findHandle<Stream>(ref);
        if (!stream) return EDS_ERR_INVALID_HANDLE;
        if (outLength == nullptr) return EDS_ERR_INVALID_POINTER;
        *outLength = stream->length();
        return EDS_ERR_OK;
    });
}

EdsError EdsCreateImageRef(EdsStreamRef ref, EdsImageRef* outImage) {
    return guarded([&] {
        const auto stream = findHandle<Stream>(ref);
        if (!stream) return EDS_ERR_INVALID_HANDLE;
        if (outImage == nullptr) return EDS_ERR_INVALID_POINTER;
        *outImage = nullptr;
        auto image = std::make_shared<ImageObject>();
        EdsError error = shootingTimeFromCamera(*stream, image->shootingTime);
        if (error == EDS_ERR_NOT_SUPPORTED)
            error = readShootingTime([&](std::uint64_t offset, void* out,
                                         std::size_t size) { return stream->readAt(offset, out, size); },
                                     image->shootingTime);
        if (error != EDS_ERR_OK) return error;
        return addHandle(std::move(image), *outImage);
    });
}

EdsError EdsCreateEvfImageRef(EdsStreamRef ref, EdsEvfImageRef* outImage) {
    return guarded([&] {
        const auto stream = findHandle<Stream>(ref);
        if (!stream) return EDS_ERR_INVALID_HANDLE;
        if (outImage == nullptr) return EDS_ERR_INVALID_POINTER;
        *outImage = nullptr;
        return addHandle(std::make_shared<EvfImageObject>(stream), *outImage);
    });
}

EdsError EdsDownloadEvfImage(EdsCameraRef cameraRef, EdsEvfImageRef imageRef) {
    return guarded([&] {
        const auto camera = findHandle<CameraObject>(cameraRef);
        const auto image = findHandle<EvfImageObject>(imageRef);
        if (!camera || !image) return EDS_ERR_INVALID_HANDLE;
        return callInSession(*camera->camera, 0, [&](DriverCamera& device) {
            image->unload();
            // One frame per stream: a second frame appended to the first would no longer be a JPEG.
            if (const EdsError error = image->stream->clear()) return error;
            EvfFrameInfo info;
            const EdsError error = device.downloadEvfImage(*image->stream, info);
            if (error != EDS_ERR_OK) {
                image->stream->clear();
                return error;
            }
            image->load(info);
            return EDS_ERR_OK;
        });
    });
}

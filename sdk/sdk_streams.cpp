#include "sdk/sdk_streams.h"

#include "platform/files.h"

#include <cstring>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace orvex::sdk::detail {

EdsError Stream::write(const void* data, std::size_t size) {
    if (size == 0) return EDS_ERR_OK;
    if (data == nullptr) return EDS_ERR_INVALID_POINTER;
    std::lock_guard guard(lock_);
    try {
        return doWrite(data, size);
    } catch (const std::bad_alloc&) {
        // Thrown back through a driver's download loop it could leave the camera half-way; an error cannot.
        return EDS_ERR_MEM_ALLOC_FAILED;
    } catch (const std::length_error&) {
        return EDS_ERR_MEM_ALLOC_FAILED;
    }
}

EdsUInt64 Stream::length() {
    std::lock_guard guard(lock_);
    return doLength();
}

bool Stream::readAt(EdsUInt64 offset, void* out, std::size_t size) {
    std::lock_guard guard(lock_);
    const EdsUInt64 end = doLength();
    if (offset > end || size > end - offset) return false;
    return size == 0 || doReadAt(offset, out, size);
}

EdsError Stream::clear() {
    std::lock_guard guard(lock_);
    return doClear();
}

EdsError Stream::flush() {
    std::lock_guard guard(lock_);
    return doFlush();
}

void Stream::setSource(DownloadSource source) {
    std::lock_guard guard(lock_);
    source_ = std::move(source);
}

DownloadSource Stream::source() {
    std::lock_guard guard(lock_);
    return source_;
}

namespace {

bool fileExists(const char* path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The fopen mode for a disposition and access, or null when the pair makes no sense.
const char* openMode(EdsFileCreateDisposition disposition, EdsAccess access, bool exists) {
    const bool write = access == kEdsAccess_Write;
    switch (disposition) {
    case kEdsFileCreateDisposition_CreateNew:
        return write ? "wbx" : "w+bx";
    case kEdsFileCreateDisposition_CreateAlways:
    case kEdsFileCreateDisposition_TruncateExisting:
        return write ? "wb" : "w+b";
    case kEdsFileCreateDisposition_OpenExisting:
        return access == kEdsAccess_Read ? "rb" : "r+b";
    case kEdsFileCreateDisposition_OpenAlways:
        if (exists) return access == kEdsAccess_Read ? "rb" : "r+b";
        return write ? "wb" : "w+b";
    default:
        return nullptr;
    }
}

} // namespace

EdsError FileStream::open(const char* path, EdsFileCreateDisposition disposition, EdsAccess access,
                          std::shared_ptr<FileStream>& out) {
    if (access != kEdsAccess_Read && access != kEdsAccess_Write && access != kEdsAccess_ReadWrite)
        return EDS_ERR_INVALID_PARAMETER;
    const bool exists = fileExists(path);
    if (disposition == kEdsFileCreateDisposition_TruncateExisting && !exists)
        return EDS_ERR_STREAM_OPEN_ERROR;
    const char* mode = openMode(disposition, access, exists);
    if (mode == nullptr) return EDS_ERR_INVALID_PARAMETER;
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) return EDS_ERR_STREAM_OPEN_ERROR;
    out.reset(new FileStream(file, access != kEdsAccess_Write, access != kEdsAccess_Read));
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        if (end > 0) out->size_ = static_cast<EdsUInt64>(end);
    }
    std::fseek(file, 0, SEEK_SET);
    return EDS_ERR_OK;
}

FileStream::FileStream(std::FILE* file, bool readable, bool writable)
    : file_(file), readable_(readable), writable_(writable) {}

FileStream::~FileStream() {
    std::fclose(file_);
}

EdsError FileStream::doWrite(const void* data, std::size_t size) {
    if (!writable_) return EDS_ERR_STREAM_WRITE_ERROR;
    // A read moved the file position, and C wants a seek between reading and writing anyway. Seeking
    // before every write would flush the buffer at each chunk a driver hands over.
    if (readSinceWrite_) {
        if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0) return EDS_ERR_STREAM_WRITE_ERROR;
        readSinceWrite_ = false;
    }
    const std::size_t written = std::fwrite(data, 1, size, file_);
    position_ += written;
    if (position_ > size_) size_ = position_;
    return written == size ? EDS_ERR_OK : EDS_ERR_STREAM_WRITE_ERROR;
}

EdsUInt64 FileStream::doLength() {
    return size_;
}

bool FileStream::doReadAt(EdsUInt64 offset, void* out, std::size_t size) {
    if (!readable_) return false;
    readSinceWrite_ = true;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) return false;
    return std::fread(out, 1, size, file_) == size;
}

EdsError FileStream::doClear() {
    // Only live view frames are cleared, and they go to memory streams; a file is never cut short here.
    return size_ == 0 ? EDS_ERR_OK : EDS_ERR_NOT_SUPPORTED;
}

EdsError FileStream::doFlush() {
    // On the disk itself: the program lets the camera delete its copy once a download is stored.
    return flushToDisk(file_) ? EDS_ERR_OK : EDS_ERR_STREAM_WRITE_ERROR;
}

MemoryStream::MemoryStream(std::size_t initialCapacity) {
    bytes_.reserve(initialCapacity);
}

void* MemoryStream::pointer() {
    std::lock_guard guard(lock_);
    return bytes_.data();
}

EdsError MemoryStream::doWrite(const void* data, std::size_t size) {
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
    return EDS_ERR_OK;
}

EdsUInt64 MemoryStream::doLength() {
    return bytes_.size();
}

bool MemoryStream::doReadAt(EdsUInt64 offset, void* out, std::size_t size) {
    std::memcpy(out, bytes_.data() + offset, size);
    return true;
}

EdsError MemoryStream::doClear() {
    bytes_.clear();
    return EDS_ERR_OK;
}

} // namespace orvex::sdk::detail

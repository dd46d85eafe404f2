#pragma once
// File and memory streams: where downloads and live view frames land.
#include "sdk/camera_driver.h"
#include "sdk/sdk_handles.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvex::sdk::detail {

struct CameraRecord;

// The camera file last downloaded into a stream, asked first for the picture's shooting time.
struct DownloadSource {
    std::shared_ptr<CameraRecord> camera;
    std::uint64_t session = 0;
    std::shared_ptr<DriverItem> item;
};

class Stream : public Object, public ByteSink {
  public:
    EdsError write(const void* data, std::size_t size) final;
    EdsUInt64 length();
    // Reads back what was written; false when the range lies beyond the end or cannot be read.
    bool readAt(EdsUInt64 offset, void* out, std::size_t size);
    // Makes the stream empty again, as before a fresh live view frame.
    EdsError clear();
    // Pushes written bytes to their medium so that a failure shows before the data is counted saved.
    EdsError flush();

    void setSource(DownloadSource source);
    DownloadSource source();

  protected:
    virtual EdsError doWrite(const void* data, std::size_t size) = 0;
    virtual EdsUInt64 doLength() = 0;
    virtual bool doReadAt(EdsUInt64 offset, void* out, std::size_t size) = 0;
    virtual EdsError doClear() = 0;
    virtual EdsError doFlush() { return EDS_ERR_OK; }
    std::mutex lock_;

  private:
    DownloadSource source_;
};

class FileStream final : public Stream {
  public:
    static EdsError open(const char* path, EdsFileCreateDisposition disposition, EdsAccess access,
                         std::shared_ptr<FileStream>& out);
    ~FileStream() override;

  private:
    explicit FileStream(std::FILE* file, bool readable, bool writable);
    EdsError doWrite(const void* data, std::size_t size) override;
    EdsUInt64 doLength() override;
    bool doReadAt(EdsUInt64 offset, void* out, std::size_t size) override;
    EdsError doClear() override;
    EdsError doFlush() override;

    std::FILE* file_;
    bool readable_;
    bool writable_;
    EdsUInt64 position_ = 0; // where the next write goes
    EdsUInt64 size_ = 0;
    bool readSinceWrite_ = false;
};

class MemoryStream final : public Stream {
  public:
    explicit MemoryStream(std::size_t initialCapacity);
    void* pointer();

  private:
    EdsError doWrite(const void* data, std::size_t size) override;
    EdsUInt64 doLength() override;
    bool doReadAt(EdsUInt64 offset, void* out, std::size_t size) override;
    EdsError doClear() override;

    std::vector<std::uint8_t> bytes_;
};

} // namespace orvex::sdk::detail

#pragma once
// What the program asks of the file system.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

// True for a regular file only (a symbolic link is followed): not for a folder, a FIFO or a device.
bool fileExists(const std::string& path);
bool isDirectory(const std::string& path);
// Last-write time in nanoseconds of the file clock, or nothing when the file cannot be read.
std::optional<std::int64_t> lastWriteTime(const std::string& path);
// The size of a regular file in bytes, or nothing when it cannot be read.
std::optional<std::uint64_t> fileSize(const std::string& path);
// The process's current directory with a trailing separator; "./" when it has no path (removed).
std::string currentDirectory();
// Directory part of a path with its trailing separator; empty when the path has none.
std::string directoryOf(const std::string& path);
// File name without directory.
std::string fileNameOf(const std::string& path);
// File name without directory and extension.
std::string stemOf(const std::string& path);
// Creates the folder, whose parent must exist: a folder above it that is gone (moved, an unmounted disk) is
// never made again elsewhere. True when it exists afterwards.
bool createFolder(const std::string& path);
// True when a file can be made in the folder now; false when its permissions, a read-only disk or its absence
// forbid it. Leaves nothing behind.
bool canWriteIn(const std::string& folder);
// Creates one folder whose parent exists; true only when this call made it, false when it was there already
// or could not be made.
bool makeNewFolder(const std::string& path);
// Moves a file to a name that must not exist yet; never replaces a file. False when it did not move. A move
// made outlives a power cut.
bool moveWithoutReplacing(const std::string& from, const std::string& to);
// Pushes what was written to the file onto the disk itself, so that it outlives a power cut; false when the
// disk refused it (a write that fails only then: a network share gone, a failing disk, a full quota).
bool flushToDisk(std::FILE* file);
bool removeFile(const std::string& path);
// Removes a folder only when it holds nothing; false otherwise.
bool removeEmptyFolder(const std::string& path);
// The names of a folder's entries, in no particular order; nothing when the folder cannot be listed.
std::optional<std::vector<std::string>> listFolder(const std::string& path);
// True when both name the same file or folder, however they are spelled (letter case on a file system that
// ignores it, links, a trailing separator).
bool sameFile(const std::string& a, const std::string& b);
// Creates a file that must not exist yet and writes the whole content; nothing is left of a failed attempt.
bool createNewFile(const std::string& path, const std::string& content);
// How far a piece goes before it counts as written: handed to the system, which a crash of the program keeps,
// or on the disk itself, which a power cut keeps too.
enum class Safety { kHandedOver, kOnDisk };
// A file made new and written a piece at a time, each piece kept as soon as it is written, so that a crash, a
// power cut (kOnDisk) or a pulled cable keeps what came before it.
class AppendedFile {
  public:
    // Makes the file, which must not exist yet; a file that cannot be made is not open.
    explicit AppendedFile(const std::string& path, Safety safety = Safety::kOnDisk);
    ~AppendedFile();
    AppendedFile(const AppendedFile&) = delete;
    AppendedFile& operator=(const AppendedFile&) = delete;
    bool open() const { return fd_ >= 0; }
    // The whole text, as safe as the file keeps it when it returns, or, when the disk refuses part of it or
    // to make it safe, none of it.
    bool append(const std::string& text);

  private:
    int fd_ = -1;
    Safety safety_;
};
// Replaces the file atomically: the old content stays whole until the new one is complete. A link is written
// through, and a file there keeps its permissions; a read-only one is not replaced.
bool writeFileAtomically(const std::string& path, const std::string& content);
// Whether writeFileAtomically could put a file at `path` now, nothing being written: a read-only file, or a
// folder that takes no new file beside it, would refuse it.
bool fileReplaceable(const std::string& path);

} // namespace orvex

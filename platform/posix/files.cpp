#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace orvex {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::optional<std::int64_t> lastWriteTime(const std::string& path) {
    std::error_code ec;
    const auto t = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return static_cast<std::int64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count());
}

std::optional<std::uint64_t> fileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

std::string currentDirectory() {
    std::error_code ec;
    std::string dir = fs::current_path(ec).string();
    // A folder removed while the program stands in it has no path: "./" still names it, so that the settings
    // and pictures are refused there rather than put in the root folder.
    if (dir.empty()) return std::string(".") + fs::path::preferred_separator;
    if (dir.back() != fs::path::preferred_separator) dir += fs::path::preferred_separator;
    return dir;
}

std::string directoryOf(const std::string& path) {
    const auto at = path.find_last_of('/');
    return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string stemOf(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool createFolder(const std::string& path) {
    return makeNewFolder(path) || isDirectory(path);
}

namespace {

bool moveOnce(const std::string& from, const std::string& to) {
    // The kernel refuses the rename when the target exists, so an existing picture is never replaced.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without that rename: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    // FAT memory cards refuse it; a FUSE file system without hard links has no such call (ENOSYS).
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS) return false;
    // Neither: check, then rename, leaving only a tiny window.
    if (::access(to.c_str(), F_OK) == 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

// The folder's entries reach the disk too, or a power cut could leave the file under its old name.
void flushFolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // the file's data is on the disk already: a folder that cannot be flushed loses nothing
    ::close(fd);
}

} // namespace

bool moveWithoutReplacing(const std::string& from, const std::string& to) {
    if (!moveOnce(from, to)) return false;
    flushFolderOf(to);
    return true;
}

bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
    // EINVAL: a file that cannot be made safe this way, not a write that failed.
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL;
}

bool removeFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool canWriteIn(const std::string& folder) {
    std::string probe = folder + (folder.ends_with('/') ? "" : "/") + ".orvex-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

bool makeNewFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool removeEmptyFolder(const std::string& path) {
    return ::rmdir(path.c_str()) == 0;
}

std::optional<std::vector<std::string>> listFolder(const std::string& path) {
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec) return std::nullopt;
    std::vector<std::string> names;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        names.push_back(it->path().filename().string());
    }
    return names;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return ec ? fs::path(a).lexically_normal() == fs::path(b).lexically_normal() : same;
}

namespace {

bool writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool createNewFile(const std::string& path, const std::string& content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = writeAll(fd, content);
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(path.c_str());
    return ok;
}

AppendedFile::AppendedFile(const std::string& path, Safety safety)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644)), safety_(safety) {}

AppendedFile::~AppendedFile() {
    if (fd_ >= 0) ::close(fd_);
}

// A piece the disk took only in part (full, or past the size a file may have) is taken back, so that the
// next piece, once there is room, is not glued to half of this one. On the disk, a piece counts as written
// once it is there: a power cut must not keep the pictures a log tells of without their rows. EINVAL: a file
// that cannot be made safe this way, not a write that failed.
bool AppendedFile::append(const std::string& text) {
    struct stat before;
    if (fd_ < 0 || ::fstat(fd_, &before) != 0) return false;
    if (writeAll(fd_, text) && (safety_ == Safety::kHandedOver || ::fdatasync(fd_) == 0 || errno == EINVAL))
        return true;
    [[maybe_unused]] const int takenBack = ::ftruncate(fd_, before.st_size);
    return false;
}

namespace {

// Renaming onto a link would replace the link itself; the file it points to is the one to change.
std::optional<std::string> replacedPath(const std::string& given) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(given, ec))) return given;
    std::string path = fs::weakly_canonical(given, ec).string();
    if (ec) return std::nullopt;
    return path;
}

// A file made read-only is left as it is, as a write in place would leave it: renaming over it would change
// what its owner locked, even one another user owns.
bool readOnly(const std::string& path, const struct stat& old) {
    return (old.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

} // namespace

bool fileReplaceable(const std::string& given) {
    const auto path = replacedPath(given);
    if (!path) return false;
    struct stat old;
    if (::stat(path->c_str(), &old) == 0 && readOnly(*path, old)) return false;
    // The new content is written beside the file first.
    const std::string folder = fs::path(*path).parent_path().string();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK | X_OK) == 0;
}

bool writeFileAtomically(const std::string& given, const std::string& content) {
    const auto resolved = replacedPath(given);
    if (!resolved) return false;
    const std::string& path = *resolved;
    struct stat old;
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && readOnly(path, old)) return false;
    // Write beside the target, flush to disk, then rename over it: readers see the old file or the new one.
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    // Left by an earlier process of this number that ended before its rename: it would refuse every save.
    if (fd < 0 && errno == EEXIST && ::unlink(temporary.c_str()) == 0)
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // A file its owner kept private stays so. A file system without modes (FAT) refuses this, and its files
    // all have the same mode anyway.
    if (exists) ::fchmod(fd, old.st_mode & 0777);
    bool ok = writeAll(fd, content);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

} // namespace orvex

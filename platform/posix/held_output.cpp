#include "platform/held_output.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvex {
namespace {

// What a descriptor that says it can take more takes without blocking: a pipe one page, PIPE_BUF; a
// terminal a few hundred bytes at least, which a newline that becomes two characters cannot overrun. The
// descriptors keep their blocking mode: it belongs to the terminal the shell shares with us.
constexpr std::size_t kTerminalPiece = 128;

std::size_t pieceFor(int fd) {
    return ::isatty(fd) ? kTerminalPiece : PIPE_BUF;
}

bool samePlace(int a, int b) {
    struct stat first = {};
    struct stat second = {};
    if (::fstat(a, &first) != 0 || ::fstat(b, &second) != 0) return false;
    if (S_ISCHR(first.st_mode) && S_ISCHR(second.st_mode)) return first.st_rdev == second.st_rdev;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// Writes what the descriptor takes of `bytes` (all of them when `wait`), taking it from their front. True
// when none are left: taken, or refused for good (a reader gone, a terminal hung up), as a standard stream
// drops what it cannot write.
bool sent(int fd, std::string& bytes, bool wait) {
    const std::size_t most = pieceFor(fd);
    std::size_t done = 0;
    while (done < bytes.size()) {
        pollfd ready{fd, POLLOUT, 0};
        const int polled = ::poll(&ready, 1, wait ? -1 : 0);
        if (polled < 0 && errno == EINTR) continue;
        if (polled == 0) break;
        const ssize_t written =
            polled < 0 ? -1 : ::write(fd, bytes.data() + done, std::min(bytes.size() - done, most));
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EINTR || errno == EAGAIN)) {
            if (!wait) break;
        } else {
            done = bytes.size();
        }
    }
    bytes.erase(0, done);
    return bytes.empty();
}

} // namespace

// Gathers what is written until the stream is flushed, a timeline line or a message whole: the other stream's
// text, written meanwhile by another thread, goes before or after it, never into it.
class HeldOutput::Buffer final : public std::streambuf {
  public:
    Buffer(HeldOutput& output, int fd) : output_(output), fd_(fd) {}

  protected:
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        written_.append(bytes, static_cast<std::size_t>(count));
        return count;
    }
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) written_ += traits_type::to_char_type(c);
        return traits_type::not_eof(c);
    }
    int sync() override {
        output_.append(fd_, written_);
        written_.clear();
        output_.handOver();
        return 0;
    }

  private:
    HeldOutput& output_;
    const int fd_;
    std::string written_;
};

HeldOutput::HeldOutput()
    : samePlace_(samePlace(STDOUT_FILENO, STDERR_FILENO)),
      outBuffer_(std::make_unique<Buffer>(*this, STDOUT_FILENO)),
      errBuffer_(std::make_unique<Buffer>(*this, STDERR_FILENO)), out_(outBuffer_.get()),
      err_(errBuffer_.get()) {
    // As std::cerr: each message goes out as it is written.
    err_.setf(std::ios::unitbuf);
}

HeldOutput::~HeldOutput() = default;

void HeldOutput::append(int fd, const std::string& bytes) {
    if (bytes.empty()) return;
    std::lock_guard lock(mutex_);
    if (pending_.empty() || pending_.back().fd != fd) pending_.push_back({fd, {}});
    pending_.back().bytes += bytes;
}

void HeldOutput::handOver() {
    std::lock_guard lock(mutex_);
    write(false);
}

void HeldOutput::finish() {
    out_.flush();
    err_.flush();
    std::lock_guard lock(mutex_);
    // A reader gone by then makes the write fail, as it did during the session, rather than end the program.
    const auto pipeHandling = std::signal(SIGPIPE, SIG_IGN);
    write(true);
    if (pipeHandling != SIG_ERR) std::signal(SIGPIPE, pipeHandling);
}

void HeldOutput::write(bool wait) {
    bool heldUp[STDERR_FILENO + 1] = {};
    for (auto piece = pending_.begin(); piece != pending_.end();) {
        const bool behind = samePlace_ ? heldUp[STDOUT_FILENO] || heldUp[STDERR_FILENO] : heldUp[piece->fd];
        if (!behind && sent(piece->fd, piece->bytes, wait)) {
            piece = pending_.erase(piece);
            continue;
        }
        heldUp[piece->fd] = true;
        ++piece;
    }
}

} // namespace orvex

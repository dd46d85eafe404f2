#pragma once
// Standard output and standard error for a session that must never wait for them: a terminal paused with
// Ctrl-S, or a pipe nobody reads (`| less` left on its first page), would otherwise hold up the thread that
// writes, and with it the shots. What a descriptor does not take at once is kept, in order, and handed over
// at the next chance. Written from any thread, as the standard streams are.
#include <deque>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>

namespace orvex {

class HeldOutput {
  public:
    HeldOutput();
    ~HeldOutput();
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;

    // Each flush (every write to err) hands over what the descriptor takes then; what is written is kept
    // until the stream is flushed.
    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }

    // Hands over what the descriptors take now, without waiting.
    void handOver();
    // Hands over everything left, waiting as long as the descriptors need: at the end, when nothing is held
    // up by it any more.
    void finish();

  private:
    class Buffer;
    struct Piece {
        int fd;
        std::string bytes;
    };
    void append(int fd, const std::string& bytes);
    void write(bool wait);

    std::mutex mutex_;
    std::deque<Piece> pending_;
    // Output and error that reach the same file, pipe or terminal: the one's text waits behind the other's.
    bool samePlace_ = false;
    std::unique_ptr<Buffer> outBuffer_, errBuffer_;
    std::ostream out_, err_;
};

} // namespace orvex

#include "script/line_reader.h"

#include <ios>

namespace orvex {
namespace {

int readFrom(std::streambuf& buffer, std::istream& in, std::string& line, int limit) {
    constexpr auto eof = std::char_traits<char>::eof();
    if (buffer.sgetc() == eof) {
        in.setstate(std::ios::eofbit);
        return -1;
    }
    for (;;) {
        const int c = buffer.sbumpc();
        if (c == eof) {
            in.setstate(std::ios::eofbit);
            return static_cast<int>(line.size());
        }
        if (c == '\n') return static_cast<int>(line.size());
        if (c == '\r' && buffer.sgetc() == '\n') {
            buffer.sbumpc();
            return static_cast<int>(line.size());
        }
        if (static_cast<int>(line.size()) == limit - 1) {
            buffer.sungetc();
            return limit;
        }
        line.push_back(static_cast<char>(c));
    }
}

} // namespace

int readLine(std::istream& in, std::string& line, int limit) {
    line.clear();
    // Straight from the stream's buffer: the stream's own get() sets up and checks its state for every
    // character, which was most of the time a long script took to load.
    std::streambuf* const buffer = in.good() ? in.rdbuf() : nullptr;
    if (!buffer) {
        in.setstate(std::ios::eofbit);
        return -1;
    }
    try {
        return readFrom(*buffer, in, line, limit);
    } catch (const std::ios_base::failure&) {
        // The file buffer throws when the disk refuses a read (a pulled stick, a share gone, a bad sector),
        // where the stream's get() would have set badbit: the caller must not take it for the file's end.
        line.clear();
        in.setstate(std::ios::badbit);
        return -1;
    }
}

} // namespace orvex

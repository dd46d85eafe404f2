#include "script/line_reader.h"

namespace orvex {

int readLine(std::istream& in, std::string& line, int limit) {
    line.clear();
    constexpr auto eof = std::char_traits<char>::eof();
    // Straight from the stream's buffer: the stream's own get() sets up and checks its state for every
    // character, which was most of the time a long script took to load.
    std::streambuf* const buffer = in.good() ? in.rdbuf() : nullptr;
    if (!buffer || buffer->sgetc() == eof) {
        in.setstate(std::ios::eofbit);
        return -1;
    }
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == eof) {
            in.setstate(std::ios::eofbit);
            return static_cast<int>(line.size());
        }
        if (c == '\n') return static_cast<int>(line.size());
        if (c == '\r' && buffer->sgetc() == '\n') {
            buffer->sbumpc();
            return static_cast<int>(line.size());
        }
        if (static_cast<int>(line.size()) == limit - 1) {
            buffer->sungetc();
            return limit;
        }
        line.push_back(static_cast<char>(c));
    }
}

} // namespace orvex

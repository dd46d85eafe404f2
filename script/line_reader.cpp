#include "script/line_reader.h"

namespace orvex {

int readLine(std::istream& in, std::string& line, int limit) {
    line.clear();
    constexpr auto eof = std::char_traits<char>::eof();
    if (in.peek() == eof) return -1;
    for (;;) {
        const int c = in.get();
        if (c == eof || c == '\n') return static_cast<int>(line.size());
        if (c == '\r' && in.peek() == '\n') {
            in.get();
            return static_cast<int>(line.size());
        }
        if (static_cast<int>(line.size()) == limit - 1) {
            in.unget();
            return limit;
        }
        line.push_back(static_cast<char>(c));
    }
}

} // namespace orvex

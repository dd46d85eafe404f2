#pragma once
#include <istream>
#include <string>

namespace orvex {

// Reads one line of at most limit-1 characters. Returns the number of characters read, `limit` when the
// line is longer (the first limit-1 characters are kept), or -1 at the end of the file. A line ends at a
// line feed; a carriage return just before it is dropped. A read the disk refuses also returns -1, with the
// stream's badbit set.
int readLine(std::istream& in, std::string& line, int limit);

} // namespace orvex

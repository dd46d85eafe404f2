#pragma once
// Reading numbers from the start of a text the way scripts and options are written:
// leading blanks skipped, an optional sign, and anything after the number ignored. And writing them with a
// decimal point, as logs and outputs are read by programs. And cutting a text short.
#include <optional>
#include <string>
#include <string_view>

namespace orvex {

// A whole number; nothing when the text does not begin with one. Values beyond the 32-bit range saturate.
std::optional<long long> scanWhole(std::string_view text, std::size_t* consumed = nullptr);
// A whole number as a person types it, where a French hand groups the thousands: blanks between digits (a
// space, a no-break space, a narrow or thin space) join them, so "10 000" is 10000, not 10.
std::optional<long long> scanTypedWhole(std::string_view text);
// A decimal number with an optional fraction, after a point or a comma.
std::optional<double> scanDecimal(std::string_view text);
// The value with that many decimals and a point, whatever the locale: the desktop program runs in the user's,
// where a French one writes a comma.
std::string decimalText(double value, int decimals);
// True when the text holds nothing but blanks.
bool isBlank(std::string_view text);
// At most `limit` bytes of a UTF-8 text, cut before a character rather than through it, so that no half
// letter ends up in a picture name or the settings file.
std::string cutAtCharacter(std::string text, std::size_t limit);
// The text with each line break a blank: a message box's lines, or a name holding one, as one line of a log,
// a timeline or a picture.
std::string oneLine(std::string text);
// "h:m:s" or, failing that, "h:m" (seconds 0); the fields are not range-checked here.
struct ClockFields {
    long long hour = 0, minute = 0, second = 0;
};
std::optional<ClockFields> scanClock(std::string_view text);

} // namespace orvex

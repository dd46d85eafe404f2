#include "core/text_scan.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace orvex {
namespace {

bool isSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the blank that groups digits at the start of the text, 0 when there is none.
std::size_t groupBlank(std::string_view text) {
    for (std::string_view blank : {" ", "\u00A0", "\u202F", "\u2009"})
        if (text.substr(0, blank.size()) == blank) return blank.size();
    return 0;
}

} // namespace

std::optional<long long> scanTypedWhole(std::string_view text) {
    std::string joined;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t run = i;
        while (const std::size_t blank = groupBlank(text.substr(run))) run += blank;
        if (run > i && !joined.empty() && isDigit(joined.back()) && run < text.size() && isDigit(text[run])) {
            i = run;
            continue;
        }
        joined += text[i++];
    }
    return scanWhole(joined);
}

std::optional<long long> scanWhole(std::string_view text, std::size_t* consumed) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
    // Saturating just past the 32-bit range keeps every out-of-range value out of range.
    constexpr long long limit = static_cast<long long>(std::numeric_limits<int>::max()) + 1;
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;
    }
    if (consumed) *consumed = i;
    return negative ? -value : value;
}

std::optional<double> scanDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t begin = i;
    std::size_t digits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) ++digits;
    std::size_t end = i;
    // A French hand, or a spreadsheet set to French, writes 2,5 for 2.5: read as 2 it would silently
    // shorten an exposure.
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        std::size_t fraction = 0;
        for (++i; i < text.size() && isDigit(text[i]); ++i) ++fraction;
        if (fraction > 0) end = i;
        digits += fraction;
    }
    if (digits == 0) return std::nullopt;
    std::string number(text.substr(begin, end - begin));
    if (const auto comma = number.find(','); comma != std::string::npos) number[comma] = '.';
    // from_chars rounds correctly and ignores the locale, which a desktop program may have changed.
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return negative ? -value : value;
}

std::string decimalText(double value, int decimals) {
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals).ptr;
    return std::string(text, end);
}

bool isBlank(std::string_view text) {
    for (char c : text)
        if (!isSpace(c)) return false;
    return true;
}

std::string cutAtCharacter(std::string text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit;
    // A character has three continuation bytes at most; a longer run is no character to keep whole.
    for (int back = 0; back < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    text.resize(cut);
    return text;
}

std::optional<ClockFields> scanClock(std::string_view text) {
    // Each field after a colon may again start with blanks, as a scanned "%d" allows.
    long long fields[3] = {};
    int read = 0;
    std::size_t pos = 0;
    while (read < 3) {
        std::size_t used = 0;
        const auto v = scanWhole(text.substr(pos), &used);
        if (!v) break;
        fields[read++] = *v;
        pos += used;
        if (read == 3 || pos >= text.size() || text[pos] != ':') break;
        ++pos;
    }
    if (read < 2) return std::nullopt;
    return ClockFields{fields[0], fields[1], read == 3 ? fields[2] : 0};
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

} // namespace orvex

#include "core/startup_options.h"

#include "core/text_scan.h"

#include <limits>
#include <map>
#include <set>
#include <string_view>

namespace orvex {
namespace {

constexpr const char* kFlags[] = {"-simul", "-slave", "-savetocam"};
constexpr const char* kValueOptions[] = {
    "-load=",       "-connect=",    "-prefix=",     "-start=",   "-loop=",
    "-serialport=", "-lockuptime=", "-virtualcam=", "-fromline="};

// The first occurrence of each option outside every quoted value.
struct FoundOptions {
    std::set<std::string> flags;
    std::map<std::string, std::string> values; // by name, "=" included
};

// One walk over the text. A value is skipped whole once its option is seen, so that what it holds (a path
// through "night-simulation/") is never taken for an option; everywhere else an option is found wherever
// it begins, as a plain substring search would find it.
FoundOptions findOptions(const std::string& text) {
    FoundOptions found;
    std::size_t i = 0;
    while (i < text.size()) {
        const char* valueOption = nullptr;
        for (const char* name : kValueOptions) {
            const std::string_view n = name;
            if (text.compare(i, n.size(), n) == 0 && i + n.size() < text.size() && text[i + n.size()] == '"')
                valueOption = name;
        }
        if (valueOption) {
            const std::size_t begin = i + std::string_view(valueOption).size() + 1;
            const std::size_t end = text.find('"', begin);
            found.values.try_emplace(valueOption,
                                     text.substr(begin, end == std::string::npos ? end : end - begin));
            if (end == std::string::npos) break;
            i = end + 1;
            continue;
        }
        for (const char* flag : kFlags)
            if (text.compare(i, std::string_view(flag).size(), flag) == 0) found.flags.insert(flag);
        ++i;
    }
    return found;
}

// -name=value (without quotes) gets its quotes back; everything else stays as typed.
std::string restoreQuotes(const std::string& argument) {
    for (const char* name : kValueOptions) {
        const std::string option = name;
        if (argument.rfind(option, 0) != 0) continue;
        if (argument.size() > option.size() && argument[option.size()] == '"') return argument;
        return option + '"' + argument.substr(option.size()) + '"';
    }
    return argument;
}

std::uint32_t readUnsigned32(const std::string& text) {
    // Read like "%lu" on a 32-bit unsigned long: a minus sign wraps, an overflow saturates.
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 0xFFFFFFFFull) return 0xFFFFFFFFu;
    }
    const auto v = static_cast<std::uint32_t>(value);
    return negative ? static_cast<std::uint32_t>(0u - v) : v;
}

// The digits of an EOS serial number, 10 to 12 of them, up to what 64 bits hold.
std::optional<std::uint64_t> readUnsigned64(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    if (i == text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const auto digit = static_cast<unsigned>(text[i] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

void readConnectValue(const std::string& value, StartupOptions& options) {
    options.connectRequested = true;
    options.connectText = value;
    options.connectNumber = readUnsigned32(value);
    const auto whole = readUnsigned64(value);
    if (whole && *whole > 0xFFFFFFFFull) options.connectSerialNumber = whole;
}

bool bodyWanted(const StartupOptions& options) {
    return options.connectNumber != 0 || options.connectSerialNumber.has_value();
}

std::string joinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& a : arguments) {
        if (!text.empty()) text += ' ';
        text += restoreQuotes(a);
    }
    return text;
}

std::optional<std::string> optionValue(const std::string& commandLine, const std::string& name) {
    FoundOptions found = findOptions(commandLine);
    const auto it = found.values.find(name);
    if (it == found.values.end()) return std::nullopt;
    return std::move(it->second);
}

StartupOptions parseCommandLine(const std::string& commandLine) {
    FoundOptions found = findOptions(commandLine);
    const auto value = [&](const char* name) -> std::optional<std::string> {
        const auto it = found.values.find(name);
        if (it == found.values.end()) return std::nullopt;
        return std::move(it->second);
    };
    StartupOptions o;
    o.simulation = found.flags.count("-simul") != 0;
    o.slave = found.flags.count("-slave") != 0;
    o.saveToHost = found.flags.count("-savetocam") == 0;
    o.loadPath = value("-load=");
    if (const auto connect = value("-connect=")) readConnectValue(*connect, o);
    o.prefixText = value("-prefix=");
    o.startText = value("-start=");
    o.loopText = value("-loop=");
    o.serialPortText = value("-serialport=");
    o.lockupText = value("-lockuptime=");
    o.fromLineText = value("-fromline=");
    return o;
}

std::optional<TimeOfDay> parseStartTime(const std::string& text) {
    const auto t = scanClock(text);
    if (!t || t->hour < 0 || t->hour > 23 || t->minute < 0 || t->minute > 59 || t->second < 0 ||
        t->second > 59)
        return std::nullopt;
    return TimeOfDay{static_cast<int>(t->hour), static_cast<int>(t->minute), static_cast<int>(t->second)};
}

std::optional<int> parseLoopCount(const std::string& text) {
    const auto n = scanTypedWhole(text);
    if (!n || *n < 2 || *n > 10000) return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<std::string> lockupEntry(const std::string& text) {
    const auto n = scanWhole(text);
    if (!n || *n < 1 || *n > 10) return std::nullopt;
    return text + "s";
}

} // namespace orvex

#include "app/startup_options.h"

#include "script/text_scan.h"

namespace orvex {
namespace {

constexpr const char* kValueOptions[] = {
    "-load=", "-connect=", "-prefix=", "-start=", "-loop=", "-serialport=", "-lockuptime=", "-virtualcam="};

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

} // namespace

std::string joinArguments(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& a : arguments) {
        if (!text.empty()) text += ' ';
        text += restoreQuotes(a);
    }
    return text;
}

std::optional<std::string> optionValue(const std::string& commandLine, const std::string& name) {
    const std::string opening = name + "\"";
    const auto at = commandLine.find(opening);
    if (at == std::string::npos) return std::nullopt;
    const auto begin = at + opening.size();
    const auto end = commandLine.find('"', begin);
    return commandLine.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

StartupOptions parseCommandLine(const std::string& commandLine) {
    StartupOptions o;
    const auto has = [&](const char* flag) { return commandLine.find(flag) != std::string::npos; };
    o.simulation = has("-simul");
    o.slave = has("-slave");
    o.saveToHost = !has("-savetocam");
    o.loadPath = optionValue(commandLine, "-load=");
    if (const auto connect = optionValue(commandLine, "-connect=")) {
        o.connectRequested = true;
        o.connectNumber = readUnsigned32(*connect);
    }
    o.prefixText = optionValue(commandLine, "-prefix=");
    o.startText = optionValue(commandLine, "-start=");
    o.loopText = optionValue(commandLine, "-loop=");
    o.serialPortText = optionValue(commandLine, "-serialport=");
    o.lockupText = optionValue(commandLine, "-lockuptime=");
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
    const auto n = scanWhole(text);
    if (!n || *n < 2 || *n > 10000) return std::nullopt;
    return static_cast<int>(*n);
}

std::optional<std::string> lockupEntry(const std::string& text) {
    const auto n = scanWhole(text);
    if (!n || *n < 1 || *n > 10) return std::nullopt;
    return text + "s";
}

} // namespace orvex

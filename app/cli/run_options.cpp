#include "app/cli/run_options.h"

#include "app/catalogue.h"
#include "script/text_scan.h"

#include <cctype>

namespace orvex::cli {
namespace {

bool takeValue(const std::string& arg, const std::string& name, std::optional<std::string>& into) {
    if (arg == name) {
        into = "";
        return true;
    }
    if (arg.rfind(name + "=", 0) == 0) {
        into = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

std::optional<CivilTime> parseClock(const std::string& text) {
    CivilTime t;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                    &t.second, &consumed) != 6)
        return std::nullopt;
    std::string rest = text.substr(static_cast<std::size_t>(consumed));
    if (!rest.empty()) {
        if (rest[0] != '.' || rest.size() < 2 || rest.size() > 4) return std::nullopt;
        for (std::size_t i = 1; i < rest.size(); ++i)
            if (!std::isdigit(static_cast<unsigned char>(rest[i]))) return std::nullopt;
        rest.resize(4, '0');
        t.millisecond = std::stoi(rest.substr(1));
    }
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 ||
        t.second > 59)
        return std::nullopt;
    return t;
}

std::optional<int> parseOffset(const std::string& text) {
    int h = 0, m = 0, consumed = 0;
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') ||
        std::sscanf(text.c_str() + 1, "%2d:%2d%n", &h, &m, &consumed) != 2 || consumed != 5 || h > 14 ||
        m > 59)
        return std::nullopt;
    return (text[0] == '-' ? -1 : 1) * (h * 60 + m);
}

bool validLockup(const std::string& v) {
    if (v == "Off" || v == "Manu") return true;
    for (int s = 1; s <= 10; ++s)
        if (v == std::to_string(s) + "s") return true;
    return false;
}

} // namespace

std::optional<std::uint64_t> parseDuration(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t total = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        std::uint64_t n = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            n = n * 10 + static_cast<unsigned>(text[i++] - '0');
            if (n > 1000000000ull) return std::nullopt;
        }
        std::string unit;
        while (i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]))) unit += text[i++];
        if (unit == "ms")
            total += n;
        else if (unit == "s" || unit.empty())
            total += n * 1000;
        else if (unit == "m")
            total += n * 60000;
        else if (unit == "h")
            total += n * 3600000;
        else
            return std::nullopt;
        if (unit.empty() && i < text.size()) return std::nullopt;
    }
    return total;
}

std::optional<RunOptions> parseRunOptions(const std::vector<std::string>& args, std::string& error) {
    RunOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::optional<std::string> v;
        if (takeValue(a, "--camera", v)) {
            if (v->empty()) return error = "--camera needs a preset or a profile file", std::nullopt;
            o.camera = v;
        } else if (takeValue(a, "--clock", v)) {
            if (!(o.clock = parseClock(*v)))
                return error = "--clock wants YYYY-MM-DDTHH:MM:SS[.mmm]", std::nullopt;
        } else if (takeValue(a, "--utc-offset", v)) {
            const auto offset = parseOffset(*v);
            if (!offset) return error = "--utc-offset wants +HH:MM or -HH:MM", std::nullopt;
            o.utcOffsetMinutes = *offset;
        } else if (takeValue(a, "--loop", o.loop) || takeValue(a, "--start", o.start) ||
                   takeValue(a, "--prefix", o.prefix) || takeValue(a, "--serialport", o.serialPort)) {
        } else if (a == "--savetocam") {
            o.saveToCamera = true;
        } else if (a == "--ut") {
            o.universalTime = true;
        } else if (takeValue(a, "--lockup", v)) {
            if (!validLockup(*v)) return error = "--lockup wants Off, 1s to 10s, or Manu", std::nullopt;
            o.lockup = v;
        } else if (takeValue(a, "--until", v)) {
            const auto d = parseDuration(*v);
            if (!d) return error = "--until wants a duration such as 90s, 15m, 2h or 1h30m", std::nullopt;
            o.untilMs = *d;
        } else if (a == "--lang" || a.rfind("--lang=", 0) == 0) {
            const std::string lang = a == "--lang" ? (i + 1 < args.size() ? args[++i] : "") : a.substr(7);
            if (lang != "en" && lang != "fr") return error = "--lang wants en or fr", std::nullopt;
            o.language = lang == "en" ? kEnglish : kFrench;
        } else if (a.rfind("--", 0) == 0 || !o.script.empty()) {
            return error = "unexpected argument: " + a, std::nullopt;
        } else {
            o.script = a;
        }
    }
    if (o.script.empty()) return error = "no script given", std::nullopt;
    return o;
}

std::string programCommandLine(const RunOptions& o) {
    std::string line = "-load=\"" + o.script + "\"";
    if (!o.camera)
        line += " -simul";
    else
        line += " -connect=\"\"";
    if (o.loop) line += " -loop=\"" + *o.loop + "\"";
    if (o.start && !o.start->empty()) line += " -start=\"" + *o.start + "\"";
    if (o.prefix) line += " -prefix=\"" + *o.prefix + "\"";
    if (o.saveToCamera) line += " -savetocam";
    if (o.serialPort) line += " -serialport=\"" + *o.serialPort + "\"";
    return line;
}

} // namespace orvex::cli

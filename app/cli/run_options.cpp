#include "app/cli/run_options.h"

#include "core/catalogue.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <string_view>

namespace orvex::cli {
namespace {

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
    // A day the month does not have (a 30th of February, a 29th out of a leap year) is no moment.
    using namespace std::chrono;
    if (!year_month_day{year{t.year}, month{unsigned(t.month)}, day{unsigned(t.day)}}.ok())
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

bool allDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "h:m" or "h:m:s" with one or two digits in each field; the desktop program would read "7:30pm" as 7:30.
bool clockText(const std::string& text) {
    int fields = 0;
    std::size_t i = 0;
    for (;;) {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        if (i == from || i - from > 2) return false;
        ++fields;
        if (i == text.size()) return fields >= 2;
        if (text[i] != ':' || fields == 3) return false;
        ++i;
    }
}

// An option's value: nothing for "--name" alone, the text after "=" otherwise.
using Value = std::optional<std::string>;

// Each returns an error text that names the option, or nothing when the value was taken.
using Apply = std::optional<std::string> (*)(RunOptions&, const Value&);

std::optional<std::string> camera(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return "--camera needs a preset or a profile file";
    o.camera = v;
    return std::nullopt;
}

std::optional<std::string> clock(RunOptions& o, const Value& v) {
    if (!v || !(o.clock = parseClock(*v))) return "--clock wants YYYY-MM-DDTHH:MM:SS[.mmm]";
    return std::nullopt;
}

std::optional<std::string> utcOffset(RunOptions& o, const Value& v) {
    const auto offset = v ? parseOffset(*v) : std::nullopt;
    if (!offset) return "--utc-offset wants +HH:MM or -HH:MM";
    o.utcOffsetMinutes = *offset;
    return std::nullopt;
}

std::optional<std::string> connect(RunOptions& o, const Value& v) {
    if (v && !allDigits(*v)) return "--connect wants a body id, not \"" + *v + "\"";
    o.connect = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> fromLine(RunOptions& o, const Value& v) {
    // Whether the line is an exposure is known once the script is loaded.
    if (!v || !allDigits(*v))
        return "--from-line wants a line number of the script, not \"" + v.value_or("") + "\"";
    o.fromLine = v;
    return std::nullopt;
}

std::optional<std::string> loop(RunOptions& o, const Value& v) {
    // Digits only: the desktop program would take "5x" for 5 and ignore "abc" without a word.
    if (v && !v->empty() && !(v->size() <= 5 && allDigits(*v) && parseLoopCount(*v)))
        return "--loop wants a number of passes from 2 to 10000, not \"" + *v + "\"";
    o.loop = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> sound(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return "--sound needs a WAV file";
    o.sound = v;
    return std::nullopt;
}

std::optional<std::string> plan(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return "--plan needs an SVG file name";
    o.plan = v;
    return std::nullopt;
}

std::optional<std::string> start(RunOptions& o, const Value& v) {
    if (v && !v->empty() && !(clockText(*v) && parseStartTime(*v)))
        return "--start wants a time of day HH:MM or HH:MM:SS, not \"" + *v + "\"";
    o.start = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> prefix(RunOptions& o, const Value& v) {
    // A separator would send the pictures out of their folder.
    if (v && v->find('/') != std::string::npos) return "--prefix cannot hold a /";
    o.prefix = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> serialPort(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return "--serialport needs a port name";
    o.serialPort = v;
    return std::nullopt;
}

std::optional<std::string> saveToCamera(RunOptions& o, const Value& v) {
    if (v) return "--savetocam takes no value";
    o.saveToCamera = true;
    return std::nullopt;
}

std::optional<std::string> universalTime(RunOptions& o, const Value& v) {
    if (v) return "--ut takes no value";
    o.universalTime = true;
    return std::nullopt;
}

std::optional<std::string> pictures(RunOptions& o, const Value& v) {
    if (v) return "--pictures takes no value";
    o.pictures = true;
    return std::nullopt;
}

std::optional<std::string> slave(RunOptions& o, const Value& v) {
    if (v) return "--slave takes no value";
    o.slave = true;
    return std::nullopt;
}

std::optional<std::string> lockup(RunOptions& o, const Value& v) {
    if (!v || !validLockup(*v)) return "--lockup wants Off, 1s to 10s, or Manu";
    o.lockup = v;
    return std::nullopt;
}

std::optional<std::string> until(RunOptions& o, const Value& v) {
    const auto d = v ? parseDuration(*v) : std::nullopt;
    if (!d) return "--until wants a duration such as 90s, 15m, 2h or 1h30m";
    o.untilMs = *d;
    return std::nullopt;
}

std::optional<std::string> language(RunOptions& o, const Value& v) {
    if (v != "en" && v != "fr") return "--lang wants en or fr";
    o.language = *v == "en" ? kEnglish : kFrench;
    return std::nullopt;
}

struct OptionRule {
    std::string_view name;
    bool simulate, run;  // the commands that take it
    bool valueMayFollow; // "--lang fr" as well as "--lang=fr"
    Apply apply;
};

constexpr OptionRule kOptions[] = {
    {"--camera", true, true, false, camera},
    {"--connect", true, true, false, connect},
    {"--from-line", true, true, false, fromLine},
    // A run follows the computer's clock; only a rehearsal can start at another moment.
    {"--clock", true, false, false, clock},
    {"--utc-offset", true, false, false, utcOffset},
    {"--loop", true, true, false, loop},
    {"--start", true, true, false, start},
    {"--prefix", true, true, false, prefix},
    {"--savetocam", true, true, false, saveToCamera},
    {"--lockup", true, true, false, lockup},
    {"--serialport", true, true, false, serialPort},
    {"--ut", true, true, false, universalTime},
    {"--slave", true, true, false, slave},
    // A run always writes its pictures.
    {"--pictures", true, false, false, pictures},
    // A run's night is drawn by rehearsing it first.
    {"--plan", true, false, false, plan},
    {"--until", true, true, false, until},
    {"--sound", true, true, false, sound},
    {"--lang", true, true, true, language},
};

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

std::optional<RunOptions> parseRunOptions(Command command, const std::vector<std::string>& args,
                                          std::string& error) {
    RunOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!o.script.empty()) return error = "unexpected argument: " + a, std::nullopt;
            o.script = a;
            continue;
        }
        const auto equals = a.find('=');
        const std::string_view name = std::string_view(a).substr(0, equals);
        const auto rule = std::find_if(std::begin(kOptions), std::end(kOptions),
                                       [&](const OptionRule& r) { return r.name == name; });
        if (rule == std::end(kOptions))
            return error = std::string(name) + " is not an option of " +
                           (command == Command::Run ? "run" : "simulate"),
                   std::nullopt;
        if (!(command == Command::Run ? rule->run : rule->simulate))
            return error =
                       std::string(name) + " is an option of " + (rule->run ? "run" : "simulate") + " only",
                   std::nullopt;
        Value value;
        if (equals != std::string::npos)
            value = a.substr(equals + 1);
        else if (rule->valueMayFollow && i + 1 < args.size())
            value = args[++i];
        if (auto problem = rule->apply(o, value)) return error = std::move(*problem), std::nullopt;
    }
    if (o.script.empty()) return error = "no script given", std::nullopt;
    // Nobody is at a virtual body to press its release by hand: such a run would wait for ever.
    if (o.lockup == "Manu" && (command == Command::Simulate || o.camera))
        return error = "--lockup=Manu waits for a hand on a real body's shutter release; a rehearsal or a "
                       "virtual body has none",
               std::nullopt;
    // Simulation mode drives no body that an id could name.
    if (o.connect && command == Command::Simulate && !o.camera)
        return error = "--connect names a camera body: a rehearsal drives one only with --camera",
               std::nullopt;
    // A master's start is a moment of the computer's clock, which a rehearsal does not keep.
    if (o.slave && command == Command::Simulate)
        return error = "--slave follows a master on the computer's clock; a rehearsal keeps a clock of its "
                       "own and starts by itself",
               std::nullopt;
    if (command == Command::Simulate && !o.untilMs) o.untilMs = 24ull * 3600 * 1000;
    return o;
}

StartupOptions startupOptions(const RunOptions& o) {
    StartupOptions s;
    s.loadPath = o.script;
    // Without a camera the run is made in simulation mode; with one, the first camera that answers.
    s.simulation = !o.camera;
    s.connectRequested = o.camera.has_value();
    if (o.connect) readConnectValue(*o.connect, s);
    s.loopText = o.loop;
    // The session presses Start itself; only a time of day is a request of its own.
    if (o.start && !o.start->empty()) s.startText = o.start;
    s.prefixText = o.prefix;
    s.saveToHost = !o.saveToCamera;
    s.serialPortText = o.serialPort;
    s.fromLineText = o.fromLine;
    s.slave = o.slave;
    return s;
}

} // namespace orvex::cli

#include "app/cli/run_options.h"

#include "core/catalogue.h"
#include "core/settings.h"

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
    // sscanf would take a sign or a space before any field: "T-1:00:00" is no time of day.
    const std::string_view fields(text.data(), static_cast<std::size_t>(consumed));
    if (std::count(fields.begin(), fields.end(), '-') != 2 ||
        fields.find_first_not_of("0123456789-T:") != std::string_view::npos)
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

// Each returns an error text that names the option, in the language of the options, or nothing when the
// value was taken.
using Apply = std::optional<std::string> (*)(RunOptions&, const Value&);

constexpr int kMessageCameraNeedsValue = 291;
constexpr int kMessageClockWanted = 292;
constexpr int kMessageUtcOffsetWanted = 293;
constexpr int kMessageConnectWanted = 294;
constexpr int kMessageFromLineWanted = 295;
constexpr int kMessageLoopWanted = 296;
constexpr int kMessageSoundNeedsValue = 297;
constexpr int kMessagePlanNeedsValue = 298;
constexpr int kMessageStartWanted = 299;
constexpr int kMessageSerialPortNeedsValue = 300;
constexpr int kMessageTakesNoValue = 301;
constexpr int kMessageLockupWanted = 302;
constexpr int kMessageUntilWanted = 303;
constexpr int kMessageLangWanted = 304;
constexpr int kMessageUnexpectedArgument = 305;
constexpr int kMessageNotAnOptionOf = 306;
constexpr int kMessageOptionOfOnly = 307;
constexpr int kMessageNoScript = 308;
constexpr int kMessageManualLockupNeedsABody = 309;
constexpr int kMessageConnectNeedsCamera = 310;
constexpr int kMessageSlaveIsNoRehearsal = 311;
constexpr int kMessagePrefixHolds = 314;
constexpr int kMessagePrefixControl = 315;

// parseRunOptions decides the language before the first value is read.
std::string say(const RunOptions& o, int message, const std::vector<std::string>& values = {}) {
    return formatMessage(o.language.value_or(kEnglish), message, values);
}

std::optional<std::string> camera(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return say(o, kMessageCameraNeedsValue);
    o.camera = v;
    return std::nullopt;
}

std::optional<std::string> clock(RunOptions& o, const Value& v) {
    if (!v || !(o.clock = parseClock(*v))) return say(o, kMessageClockWanted);
    return std::nullopt;
}

std::optional<std::string> utcOffset(RunOptions& o, const Value& v) {
    const auto offset = v ? parseOffset(*v) : std::nullopt;
    if (!offset) return say(o, kMessageUtcOffsetWanted);
    o.utcOffsetMinutes = *offset;
    return std::nullopt;
}

std::optional<std::string> connect(RunOptions& o, const Value& v) {
    if (v)
        if (auto problem = refusedBodyId(*v, o.language.value_or(kEnglish))) return problem;
    o.connect = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> fromLine(RunOptions& o, const Value& v) {
    // Whether the line is an exposure is known once the script is loaded.
    if (!v || !allDigits(*v)) return say(o, kMessageFromLineWanted, {v.value_or("")});
    o.fromLine = v;
    return std::nullopt;
}

std::optional<std::string> loop(RunOptions& o, const Value& v) {
    // Digits only: the desktop program would take "5x" for 5 and ignore "abc" without a word.
    if (v && !v->empty() && !(v->size() <= 5 && allDigits(*v) && parseLoopCount(*v)))
        return say(o, kMessageLoopWanted, {*v});
    o.loop = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> sound(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return say(o, kMessageSoundNeedsValue);
    o.sound = v;
    return std::nullopt;
}

std::optional<std::string> plan(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return say(o, kMessagePlanNeedsValue);
    o.plan = v;
    return std::nullopt;
}

std::optional<std::string> start(RunOptions& o, const Value& v) {
    if (v && !v->empty() && !(clockText(*v) && parseStartTime(*v))) return say(o, kMessageStartWanted, {*v});
    o.start = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> prefix(RunOptions& o, const Value& v) {
    // What Orvex itself would pass over: a separator would send the pictures out of their folder, a tab
    // would split the night log's rows.
    if (v && !prefixAllowed(*v)) {
        const char c = *std::find_if(v->begin(), v->end(), [](char c) { return !prefixAllowed({&c, 1}); });
        const auto code = static_cast<unsigned char>(c);
        return code < 0x20 || code == 0x7F ? say(o, kMessagePrefixControl)
                                           : say(o, kMessagePrefixHolds, {{c}});
    }
    o.prefix = v.value_or("");
    return std::nullopt;
}

std::optional<std::string> serialPort(RunOptions& o, const Value& v) {
    if (!v || v->empty()) return say(o, kMessageSerialPortNeedsValue);
    o.serialPort = v;
    return std::nullopt;
}

std::optional<std::string> saveToCamera(RunOptions& o, const Value& v) {
    if (v) return say(o, kMessageTakesNoValue, {"--savetocam"});
    o.saveToCamera = true;
    return std::nullopt;
}

std::optional<std::string> universalTime(RunOptions& o, const Value& v) {
    if (v) return say(o, kMessageTakesNoValue, {"--ut"});
    o.universalTime = true;
    return std::nullopt;
}

std::optional<std::string> pictures(RunOptions& o, const Value& v) {
    if (v) return say(o, kMessageTakesNoValue, {"--pictures"});
    o.pictures = true;
    return std::nullopt;
}

std::optional<std::string> slave(RunOptions& o, const Value& v) {
    if (v) return say(o, kMessageTakesNoValue, {"--slave"});
    o.slave = true;
    return std::nullopt;
}

std::optional<std::string> lockup(RunOptions& o, const Value& v) {
    if (!v || !validLockup(*v)) return say(o, kMessageLockupWanted);
    o.lockup = v;
    return std::nullopt;
}

std::optional<std::string> until(RunOptions& o, const Value& v) {
    const auto d = v ? parseDuration(*v) : std::nullopt;
    if (!d) return say(o, kMessageUntilWanted);
    o.untilMs = *d;
    return std::nullopt;
}

// The language itself was read before any option, so that every message speaks it.
std::optional<std::string> language(RunOptions& o, const Value& v) {
    if (v != "en" && v != "fr") return say(o, kMessageLangWanted);
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
        const bool first = i == 0;
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
        // "1h30" may mean half past as well as 30 seconds: only a number alone goes without its unit.
        if (unit.empty() && (i < text.size() || !first)) return std::nullopt;
    }
    return total;
}

int languageOfArguments(const std::vector<std::string>& args, int systemLanguage) {
    int language = systemLanguage;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        if (args[i] == "--lang" && i + 1 < args.size())
            value = args[++i];
        else if (args[i].rfind("--lang=", 0) == 0)
            value = args[i].substr(7);
        if (value == "en") language = kEnglish;
        if (value == "fr") language = kFrench;
    }
    return language;
}

std::optional<std::string> refusedBodyId(const std::string& value, int language) {
    if (allDigits(value)) return std::nullopt;
    return formatMessage(language, kMessageConnectWanted, value);
}

std::optional<RunOptions> parseRunOptions(Command command, const std::vector<std::string>& args,
                                          int systemLanguage, std::string& error) {
    RunOptions o;
    o.language = languageOfArguments(args, systemLanguage);
    const std::string commandName = command == Command::Run ? "run" : "simulate";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            if (!o.script.empty()) return error = say(o, kMessageUnexpectedArgument, {a}), std::nullopt;
            o.script = a;
            continue;
        }
        const auto equals = a.find('=');
        const std::string_view name = std::string_view(a).substr(0, equals);
        const auto rule = std::find_if(std::begin(kOptions), std::end(kOptions),
                                       [&](const OptionRule& r) { return r.name == name; });
        if (rule == std::end(kOptions))
            return error = say(o, kMessageNotAnOptionOf, {std::string(name), commandName}), std::nullopt;
        if (!(command == Command::Run ? rule->run : rule->simulate))
            return error = say(o, kMessageOptionOfOnly, {std::string(name), rule->run ? "run" : "simulate"}),
                   std::nullopt;
        Value value;
        if (equals != std::string::npos)
            value = a.substr(equals + 1);
        else if (rule->valueMayFollow && i + 1 < args.size())
            value = args[++i];
        if (auto problem = rule->apply(o, value)) return error = std::move(*problem), std::nullopt;
    }
    if (o.script.empty()) return error = say(o, kMessageNoScript), std::nullopt;
    // Nobody is at a virtual body to press its release by hand: such a run would wait for ever.
    if (o.lockup == "Manu" && (command == Command::Simulate || o.camera))
        return error = say(o, kMessageManualLockupNeedsABody), std::nullopt;
    // Simulation mode drives no body that an id could name.
    if (o.connect && command == Command::Simulate && !o.camera)
        return error = say(o, kMessageConnectNeedsCamera), std::nullopt;
    // A master's start is a moment of the computer's clock, which a rehearsal does not keep.
    if (o.slave && command == Command::Simulate)
        return error = say(o, kMessageSlaveIsNoRehearsal), std::nullopt;
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

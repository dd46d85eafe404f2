#pragma once
// The options of `orvex-cli simulate` and `orvex-cli run`.
#include "core/startup_options.h"
#include "platform/clock.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex::cli {

enum class Command { Simulate, Run };

struct RunOptions {
    std::string script;
    std::optional<std::string> camera;   // preset or profile; none: simulation mode, or a body on USB for run
    std::optional<std::string> connect;  // run on a body on USB: its body id, "" for the first that answers
    std::optional<std::string> fromLine; // the line of the file the run starts at
    std::optional<CivilTime> clock;      // local time at which the rehearsal starts
    std::optional<int> utcOffsetMinutes;
    std::optional<std::string> loop;  // "" for --loop alone
    std::optional<std::string> start; // "" for --start alone
    std::optional<std::string> prefix;
    bool saveToCamera = false;
    std::optional<std::string> lockup; // Off, 1s … 10s, Manu
    std::optional<std::string> serialPort;
    bool universalTime = false;
    bool pictures = false;                // simulate: write the rehearsal's pictures as files
    bool slave = false;                   // run: wait for another instance's start and start from it
    std::optional<std::uint64_t> untilMs; // none: no limit (run); a rehearsal has one of 24 hours by default
    std::optional<int> language;
    std::optional<std::string> sound; // a WAV file Sound lines hear instead of the computer's input
    std::optional<std::string> plan;  // simulate: the SVG file the rehearsed night is drawn into
};

// The language of the messages for the arguments after a command word: the last --lang en|fr among them
// wherever it stands, else the system's.
int languageOfArguments(const std::vector<std::string>& args, int systemLanguage);
// The refusal of a --connect value that is no body id (digits only), in the language; nothing for a body id.
std::optional<std::string> refusedBodyId(const std::string& value, int language);
// Reads the arguments after the command word; the options' language is that of languageOfArguments. A
// value the command cannot use is refused, with an error text in that language that names the option.
std::optional<RunOptions> parseRunOptions(Command command, const std::vector<std::string>& args,
                                          int systemLanguage, std::string& error);
// "90s", "15m", "2h", "1h30m", "500ms"; a bare number is seconds.
std::optional<std::uint64_t> parseDuration(const std::string& text);
// What the desktop program's command line would ask for, built field by field: no value is ever read back
// as option text.
StartupOptions startupOptions(const RunOptions& options);

} // namespace orvex::cli

#pragma once
// What the command line asks for; read once by the main window's initialisation.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

struct StartupOptions {
    bool simulation = false;
    bool slave = false;
    bool saveToHost = true;
    std::optional<std::string> loadPath;
    bool connectRequested = false;
    std::uint32_t connectNumber = 0;
    // The whole -connect number when it does not fit in 32 bits: a body's serial number as printed on it.
    std::optional<std::uint64_t> connectSerialNumber;
    std::string connectText; // the -connect value as given, to name a body that is not there
    std::optional<std::string> prefixText;
    std::optional<std::string> startText;
    std::optional<std::string> loopText;
    std::optional<std::string> serialPortText;
    std::optional<std::string> lockupText;
    std::optional<std::string> fromLineText; // the line of the script's file the run starts at
};

// The command-line text from the program's arguments. A shell removes the quotes that value options
// are written with (-load="night.txt" arrives as -load=night.txt), so they are put back.
std::string joinArguments(const std::vector<std::string>& arguments);

// Each option is found by a case-sensitive search anywhere in the text, except inside the quoted value of
// another option; only its first occurrence counts.
StartupOptions parseCommandLine(const std::string& commandLine);

// Reads a -connect value: the body wanted, by its 32-bit identifier or its whole serial number.
// `bodyWanted` says whether it names one body rather than the first that answers.
void readConnectValue(const std::string& value, StartupOptions& options);
bool bodyWanted(const StartupOptions& options);

// A value option's text, found as parseCommandLine finds it: what follows name="  up to the next double
// quote or the end. `name` is one of the program's value options, "-virtualcam=" included.
std::optional<std::string> optionValue(const std::string& commandLine, const std::string& name);

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0;
};
// "h:m:s" or "h:m" within 0..23, 0..59, 0..59.
std::optional<TimeOfDay> parseStartTime(const std::string& text);
// A loop count of 2 to 10000.
std::optional<int> parseLoopCount(const std::string& text);
// The Lockup list entry a lock-up option asks for ("3" gives "3s"), when its number is 1 to 10.
std::optional<std::string> lockupEntry(const std::string& text);

} // namespace orvex

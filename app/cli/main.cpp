// orvex-cli: Orvex's command-line companion for rehearsing and running scripts.
#include "app/check_command.h"
#include "app/cli/cameras_command.h"
#include "app/cli/clock_command.h"
#include "app/cli/run_options.h"
#include "app/cli/run_session.h"
#include "core/catalogue.h"
#include "platform/held_output.h"
#include "platform/standard_streams.h"
#include "platform/system_language.h"
#include "sdk/gphoto2/gphoto_driver.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kMessageUsage = 313;
constexpr int kMessageLangWanted = 304;
constexpr int kMessageUnexpectedArgument = 305;
constexpr int kMessageNotAnOptionOf = 306;
constexpr int kMessageNoScript = 308;
constexpr int kMessageNotACommand = 316;

// What was wrong first, when it is known, then how the program is used.
int usage(int language, const std::string& problem = "") {
    if (!problem.empty()) std::cerr << "orvex-cli: " << problem << "\n";
    std::cerr << orvex::messageText(language, kMessageUsage);
    return 2;
}

int check(const std::vector<std::string>& args, int systemLanguage) {
    const int language = orvex::cli::languageOfArguments(args, systemLanguage);
    std::string script;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--lang" || a.rfind("--lang=", 0) == 0) {
            const std::string lang = a == "--lang" ? (i + 1 < args.size() ? args[++i] : "") : a.substr(7);
            if (lang != "en" && lang != "fr")
                return usage(language, orvex::messageText(language, kMessageLangWanted));
        } else if (a.rfind("--", 0) == 0) {
            const std::string name = a.substr(0, a.find('='));
            return usage(language, orvex::formatMessage(language, kMessageNotAnOptionOf, {name, "check"}));
        } else if (!script.empty()) {
            return usage(language, orvex::formatMessage(language, kMessageUnexpectedArgument, a));
        } else {
            script = a;
        }
    }
    if (script.empty()) return usage(language, orvex::messageText(language, kMessageNoScript));
    return orvex::checkScript(script, language, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    orvex::openMissingStandardStreams();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::vector<std::string> rest(args.empty() ? args.begin() : args.begin() + 1, args.end());
    const int systemLanguage = orvex::languageFromLangId(orvex::systemLanguageId());
    if (args.empty()) return usage(systemLanguage);
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << orvex::messageText(orvex::cli::languageOfArguments(rest, systemLanguage), kMessageUsage);
        return 0;
    }
    if (args[0] == "cameras")
        return rest.empty()
                   ? orvex::cli::listCameras(systemLanguage, std::cout, std::cerr)
                   : usage(systemLanguage,
                           orvex::formatMessage(systemLanguage, kMessageUnexpectedArgument, rest[0]));
    if (args[0] == "check") return check(rest, systemLanguage);
    if (args[0] == "clock")
        return orvex::cli::reportClock(
            orvex::systemKernelClock(), rest, systemLanguage, [] { return orvex::makeGphotoDriver(); },
            std::cout, std::cerr);
    if (args[0] == "simulate" || args[0] == "run") {
        std::string problem;
        const auto command = args[0] == "run" ? orvex::cli::Command::Run : orvex::cli::Command::Simulate;
        auto options = orvex::cli::parseRunOptions(command, rest, systemLanguage, problem);
        if (!options) return usage(orvex::cli::languageOfArguments(rest, systemLanguage), problem);
        if (command == orvex::cli::Command::Simulate)
            return orvex::cli::runSession(*options, false, std::cout, std::cerr, [] {});
        // A run's shots never wait for its output: a terminal paused with Ctrl-S, a pipe nobody reads.
        orvex::HeldOutput output;
        const int code =
            orvex::cli::runSession(*options, true, output.out(), output.err(), [&] { output.handOver(); });
        output.finish();
        return code;
    }
    const int language = orvex::cli::languageOfArguments(args, systemLanguage);
    return usage(language, orvex::formatMessage(language, kMessageNotACommand, args[0]));
}

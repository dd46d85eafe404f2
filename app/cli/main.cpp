// orvex-cli: Orvex's command-line companion for rehearsing and running scripts.
#include "app/check_command.h"
#include "app/cli/cameras_command.h"
#include "app/cli/clock_command.h"
#include "app/cli/run_options.h"
#include "app/cli/run_session.h"
#include "core/catalogue.h"
#include "platform/system_language.h"
#include "sdk/gphoto2/gphoto_driver.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: orvex-cli cameras\n"
    "       orvex-cli clock [--camera=PRESET|PROFILE] [--connect=BODYID]\n"
    "       orvex-cli check [--lang en|fr] SCRIPT\n"
    "       orvex-cli simulate [options] SCRIPT\n"
    "       orvex-cli run [options] SCRIPT\n"
    "       orvex-cli --help\n"
    "  cameras   list the camera bodies found on USB: number, description, port, body id\n"
    "  clock     whether the computer's clock is synchronised, how far off it may be, and a\n"
    "            body's clock offset from it; exits 3 when it is not synchronised\n"
    "  check     load a script as Orvex would and print each exposure it understood\n"
    "  simulate  rehearse the whole run on a virtual clock and print its timeline\n"
    "  run       run the script in real time on a camera; Ctrl-C stops it\n"
    "options of simulate and run:\n"
    "  --camera=PRESET|PROFILE   a virtual camera body (without it: simulate runs in simulation\n"
    "                            mode, run drives the first camera body on USB)\n"
    "  --connect=BODYID          the body with this body id rather than the first (run on USB, or\n"
    "                            the virtual body of --camera)\n"
    "  --from-line=N             start at line N of the file (the header is line 1)\n"
    "  --clock=YYYY-MM-DDTHH:MM:SS[.mmm]  local time at the start (simulate; default now)\n"
    "  --utc-offset=+HH:MM       offset of local time from universal time (simulate)\n"
    "  --until=DURATION          stop after that long (simulate: 24h by default; run: no limit)\n"
    "  --sound=FILE.wav          Sound lines hear this recording (16-bit mono, 8000 Hz) instead\n"
    "                            of the computer's sound input (simulate needs it for them)\n"
    "  --slave                   run: wait for another Orvex to start its run, and start with it\n"
    "  --pictures                simulate: write the rehearsal's pictures as files\n"
    "  --plan=FILE.svg           simulate: also draw the rehearsed night as a picture\n"
    "  --loop[=N]  --start[=HH:MM[:SS]]  --prefix=TEXT  --savetocam\n"
    "  --lockup=Off|1s..10s|Manu  --serialport=NAME  --ut  --lang en|fr\n";

int usage(const std::string& problem = "") {
    if (!problem.empty()) std::cerr << "orvex-cli: " << problem << "\n";
    std::cerr << kUsage;
    return 2;
}

int check(const std::vector<std::string>& args, int language) {
    std::string script;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string lang;
        if (args[i] == "--lang" && i + 1 < args.size())
            lang = args[++i];
        else if (args[i].rfind("--lang=", 0) == 0)
            lang = args[i].substr(7);
        else if (args[i].rfind("--", 0) == 0 || !script.empty())
            return usage();
        else {
            script = args[i];
            continue;
        }
        if (lang == "en")
            language = orvex::kEnglish;
        else if (lang == "fr")
            language = orvex::kFrench;
        else
            return usage();
    }
    if (script.empty()) return usage();
    return orvex::checkScript(script, language, std::cout, std::cerr);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    if (args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const int systemLanguage = orvex::languageFromLangId(orvex::systemLanguageId());
    if (args[0] == "cameras")
        return rest.empty() ? orvex::cli::listCameras(systemLanguage, std::cout, std::cerr) : usage();
    if (args[0] == "check") return check(rest, systemLanguage);
    if (args[0] == "clock")
        return orvex::cli::reportClock(
            orvex::systemKernelClock(), rest, systemLanguage, [] { return orvex::makeGphotoDriver(); },
            std::cout, std::cerr);
    if (args[0] == "simulate" || args[0] == "run") {
        std::string problem;
        const auto command = args[0] == "run" ? orvex::cli::Command::Run : orvex::cli::Command::Simulate;
        auto options = orvex::cli::parseRunOptions(command, rest, problem);
        if (!options) return usage(problem);
        if (!options->language) options->language = systemLanguage;
        return orvex::cli::runSession(*options, command == orvex::cli::Command::Run, std::cout, std::cerr);
    }
    return usage();
}

// orvex-cli: Orvex's command-line companion for rehearsing scripts.
#include "app/catalogue.h"
#include "app/check_command.h"
#include "platform/system_language.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

int usage() {
    std::cerr << "usage: orvex-cli check [--lang en|fr] SCRIPT\n"
                 "  check   load a script as Orvex would and print each exposure it understood\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] != "check") return usage();
    int language = orvex::languageFromLangId(orvex::systemLanguageId());
    std::string script;
    for (std::size_t i = 1; i < args.size(); ++i) {
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

// orvex-cli check as a user runs it: a separate process, its output and its exit code.
#include "tests/support/test_program.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace orvex::test {
namespace {

struct Result {
    int exitCode;
    std::string out;
};

Result run(const std::string& arguments, const std::string& environment = "LC_ALL=C") {
    const std::string command = environment + " " + ORVEX_CLI_PATH + " " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    Result r{-1, {}};
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    while (const std::size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

TEST(CliCheck, PrintsEveryExposureAndTheSummary) {
    const Result r = run(std::string("check --lang en ") + ORVEX_EXAMPLES_DIR + "/eclipse_contacts.txt");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "2\tTimeOfDay\t0\t76470\t8\t0x38\t1/500\t0x80\t2\t100\t0x48\tR\t0x64FF0F\t0\n"
                     "3\tTimeOfDay\t0\t76500\t8\t0x38\t1/1000\t0x88\t1\t100\t0x48\tR\t0x64FF0F\t0\n"
                     "4\tTimeOfDay\t0\t76502\t8\t0x38\t1/2000\t0x90\t0\t100\t0x48\tR\t0x64FF0F\t2\n"
                     "summary\tlines=3\tloop=1\thas-burst=1\thas-long-exposure=0\thas-move=0\n");
}

TEST(CliCheck, EveryExampleLoads) {
    for (const char* name : {"timelapse.txt", "bracketing.txt", "eclipse_contacts.txt"})
        EXPECT_EQ(run(std::string("check ") + ORVEX_EXAMPLES_DIR + "/" + name).exitCode, 0) << name;
}

TEST(CliCheck, RefusedScriptGivesTheMessageOnStandardError) {
    TempDir dir;
    const std::string path = dir.write("bad.txt", scriptText({"50", "0\t\t1\t0"}));
    const Result fr = run("check --lang fr " + path + " 2>&1");
    EXPECT_EQ(fr.exitCode, 1);
    EXPECT_EQ(fr.out, "Vitesse invalide à la ligne 3 !\n");
    const Result quiet = run("check --lang en " + path + " 2>/dev/null");
    EXPECT_EQ(quiet.out, "");
    const Result empty = run("check --lang en " + dir.write("empty.txt", "") + " 2>&1");
    EXPECT_EQ(empty.out, "\nEmpty file !\n");
}

TEST(CliCheck, UsageErrors) {
    for (const char* args : {"", "check", "check --lang de x.txt", "frobnicate x.txt", "check a.txt b.txt"})
        EXPECT_EQ(run(std::string(args) + " 2>/dev/null").exitCode, 2) << args;
}

TEST(CliCheck, LanguageFollowsTheSystemByDefault) {
    EXPECT_EQ(run("check /no/such.txt 2>&1", "LC_ALL=fr_CA.UTF-8").out,
              "Impossible d'accéder au fichier /no/such.txt\n");
    EXPECT_EQ(run("check /no/such.txt 2>&1", "LC_ALL= LANG=de_DE.UTF-8").out,
              "Unable to access file /no/such.txt\n");
}

} // namespace
} // namespace orvex::test

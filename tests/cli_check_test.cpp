// orvex-cli check as a user runs it: a separate process, its output and its exit code.
#include "tests/support/cli_process.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orvex::test {
namespace {

TEST(CliCheck, PrintsEveryExposureAndTheSummary) {
    const CliResult r = runCli(std::string("check --lang en ") + ORVEX_EXAMPLES_DIR + "/times_of_day.txt");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "2\tTimeOfDay\t0\t76470\t8\t0x38\t1/500\t0x80\t2\t100\t0x48\tR\t0x64FF0F\t0\n"
                     "3\tTimeOfDay\t0\t76500\t8\t0x38\t1/1000\t0x88\t1\t100\t0x48\tR\t0x64FF0F\t0\n"
                     "4\tTimeOfDay\t0\t76530\t8\t0x38\t1/2000\t0x90\t0\t100\t0x48\tR\t0x64FF0F\t2\n"
                     "summary\tlines=3\tloop=1\thas-burst=1\thas-long-exposure=0\thas-move=0\n");
}

TEST(CliCheck, RefusedScriptGivesTheMessageOnStandardError) {
    TempDir dir;
    const std::string path =
        dir.write("bad.txt", scriptText({line().delay(50), line().delay(0).speed("1", "0")}));
    const CliResult fr = runCli("check --lang fr " + path + " 2>&1");
    EXPECT_EQ(fr.exitCode, 1);
    EXPECT_EQ(fr.out, "Vitesse invalide à la ligne 3 !\n");
    const CliResult quiet = runCli("check --lang en " + path + " 2>/dev/null");
    EXPECT_EQ(quiet.out, "");
    const CliResult empty = runCli("check --lang en " + dir.write("empty.txt", "") + " 2>&1");
    EXPECT_EQ(empty.out, "\nEmpty file !\n");
}

// A script copied from the PDF manual has lost its tabs. The loader's message stays Orvex's own; check adds,
// in the user's language, a line that says why, right after the header or line at fault.
TEST(CliCheck, ColumnsSeparatedBySpacesAreNamed) {
    const std::string header = "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST";
    const std::string spaced = "DELAY F/D SPEEDX SPEED/ ISO QUALITY BURST";
    const std::string delay = "2\tDelay\t50\t0\t\t0x0\t\t0x0\t0\t\t0x0\t\t0x0\t0\n";
    const struct {
        const char* lang;
        std::string text;
        int exitCode;
        std::string output;
    } cases[] = {
        {"en", spaced + "\n0\t8\n", 1,
         "Invalid header at line 1 !\nLine 1 separates its columns with spaces, where Orvex reads only tabs: "
         "copy scripts from the files of the examples folder, not from the PDF manual\n"},
        {"fr", spaced + "\n0\t8\n", 1,
         "Entête invalide à la ligne 1 !\nLa ligne 1 sépare ses colonnes par des espaces, alors qu'Orvex ne "
         "lit "
         "que des tabulations : copiez les scripts depuis les fichiers du dossier des exemples, pas depuis "
         "le "
         "manuel PDF\n"},
        // Loaded as a delay with the camera's own settings: the line says so after its exposure.
        {"en", header + "\n50 8 1 250 100 (L)\n", 0,
         delay +
             "Line 2 separates its columns with spaces, where Orvex reads only tabs: copy scripts from the "
             "files of the examples folder, not from the PDF manual\n" +
             "summary\tlines=1\tloop=0\thas-burst=0\thas-long-exposure=0\thas-move=0\n"},
        {"en", header + "\nMove 8 1 250\n", 1,
         "invalid delay at line 2 !\nLine 2 separates its columns with spaces, where Orvex reads only tabs: "
         "copy scripts from the files of the examples folder, not from the PDF manual\n"},
        // A header's own words after it, or a space after a value (refused as a bad value), are no
        // separation of columns.
        {"en", header + "  my night\n50\t8\n", 0,
         "2\tDelay\t50\t0\t8\t0x38\t\t0x0\t0\t\t0x0\t\t0x0\t0\n"
         "summary\tlines=1\tloop=0\thas-burst=0\thas-long-exposure=0\thas-move=0\n"},
        {"en", header + "\n0\t8 \t1\t250\n", 1, "invalid aperture at line 2 !\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const CliResult r =
            runCli(std::string("check --lang ") + c.lang + " " + dir.write("night.txt", c.text) + " 2>&1");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.text;
        EXPECT_EQ(r.out, c.output) << c.text;
    }
}

TEST(CliCheck, OnlyARegularFileIsOpened) {
    // A FIFO without a writer would block the loader for ever; `timeout` turns a hang into a failure.
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo.txt").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir.path().string(), std::string("/dev/null")})
        EXPECT_EQ(runCli("check --lang en " + path + " 2>&1", "LC_ALL=C timeout 10").out,
                  "Unable to access file " + path + "\n")
            << path;
}

TEST(CliCheck, UsageErrors) {
    for (const char* args : {"", "check", "check --lang de x.txt", "frobnicate x.txt", "check a.txt b.txt"})
        EXPECT_EQ(runCli(std::string(args) + " 2>/dev/null").exitCode, 2) << args;
}

TEST(CliCheck, LanguageFollowsTheSystemByDefault) {
    EXPECT_EQ(runCli("check /no/such.txt 2>&1", "LC_ALL=fr_CA.UTF-8").out,
              "Impossible d'accéder au fichier /no/such.txt\n");
    EXPECT_EQ(runCli("check /no/such.txt 2>&1", "LC_ALL= LANG=de_DE.UTF-8").out,
              "Unable to access file /no/such.txt\n");
}

} // namespace
} // namespace orvex::test

#pragma once
// A program on a virtual clock with a headless main window, and a scratch folder for its files.
#include "app/main_window.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/virtual_clock.h"
#include "resources/main_dialog.h"
#include "run/program.h"
#include "sdk/sdk.h"
#include "ui/main_controls.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace orvex::test {

// The computer's serial ports: those named, less those another program holds. What the cable's lines do is
// recorded by RecordingPorts.
class FakeSerialPorts : public SerialPorts {
  public:
    std::vector<std::string> names;
    std::set<std::string> unavailable;

    std::vector<std::string> portNames() override { return names; }
    bool probe(const std::string& name) override { return !unavailable.count(name); }
    std::unique_ptr<SerialLine> open(const std::string& name) override;
};

// Records the programs the logic starts; `fails` makes every start fail.
class RecordingShell : public Shell {
  public:
    std::vector<ProgramStart> started;
    bool fails = false;
    bool start(const ProgramStart& request) override {
        started.push_back(request);
        return !fails;
    }
};

// A folder of its own under the system's temporary folder, removed at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return path_; }
    // Writes the file (bytes as given) and returns its full path.
    std::string write(const std::string& name, const std::string& content) const;
    // The bytes of a file of the folder, or of any file given its full path; empty when it cannot be read.
    std::string read(const std::filesystem::path& name) const;

  private:
    std::filesystem::path path_;
};

struct TestProgram {
    explicit TestProgram(int language = kEnglish, CivilTime localStart = {}, std::uint32_t startTick = 0)
        : clock(localStart, 0, startTick) {
        program.language = language;
        program.shell = &shell;
    }
    ~TestProgram() {
        // As quitting would: no camera event may reach this window or program once they are gone.
        if (program.sdkInitialised) EdsTerminateSDK();
    }

    VirtualClock clock;
    FakeSerialPorts ports;
    RecordingShell shell;
    Program program{clock, ports};
    HeadlessWindow window{[this](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
                          [this](int id) { return colourField(program.mainView(), id); }, &clock};

    // Parses the command line and runs the main window's initialisation.
    void start(const std::string& commandLine = "") {
        program.options = parseCommandLine(commandLine);
        window.create(MAIN_DIALOG);
    }
};

// A script file's text: the header line, then the given lines, each ended by a line feed.
std::string scriptText(const std::vector<std::string>& lines);

} // namespace orvex::test

#pragma once
// The program running a script on the virtual clock, on a virtual EOS body or in simulation mode: its
// timeline, its cable's lines and its picture folder, for run tests.
#include "sdk/virtual/virtual_camera.h"
#include "tests/support/script_line.h"
#include "tests/support/test_program.h"
#include "tests/support/timeline.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace orvex::test {

// Serial ports whose line changes are recorded with the tick they happened at.
class RecordingPorts : public SerialPorts {
  public:
    RecordingPorts(SerialPorts& ports, const Clock& clock) : ports_(ports), clock_(clock) {}
    struct Change {
        bool asserted;
        std::uint32_t tick;
    };
    std::vector<Change> changes;

    std::vector<std::string> portNames() override { return ports_.portNames(); }
    bool probe(const std::string& name) override { return ports_.probe(name); }
    std::unique_ptr<SerialLine> open(const std::string& name) override;

  private:
    SerialPorts& ports_;
    const Clock& clock_;
};

// A change of the cable's lines, at milliseconds since the run started.
struct CableEvent {
    bool pressed;
    std::uint32_t ms;
    bool operator==(const CableEvent&) const = default;
};
using CableEvents = std::vector<CableEvent>;
inline CableEvent pressed(std::uint32_t ms) {
    return {true, ms};
}
inline CableEvent released(std::uint32_t ms) {
    return {false, ms};
}
inline void PrintTo(const CableEvent& e, std::ostream* out) {
    *out << (e.pressed ? "pressed(" : "released(") << e.ms << ')';
}

using Strings = std::vector<std::string>;

// What a run is made on, written as a user writes a profile: a preset and the keys it changes,
// "bulb aeMode=4 failDownloadAt=2"; kSimulation: no camera, every line counted as a shot.
constexpr const char* kSimulation = "simulation";

class RunProgram {
  public:
    explicit RunProgram(const std::string& body = "bulb", CivilTime localStart = {2026, 12, 6, 21, 0, 0, 0},
                        std::uint32_t startTick = 0, int utcOffsetMinutes = 0);
    ~RunProgram();

    // Writes the script as night.txt, starts the program connected and, after `prepare`, starts the run.
    void start(const std::vector<std::string>& lines, const std::string& commandLine = "",
               const std::function<void()>& prepare = {});
    // Starts the program connected, without a run.
    void open(const std::string& commandLine = "");
    // Moves the clock on; downloads take no time on it.
    void runFor(unsigned ms);
    CableEvents cable() const;
    // The files of the picture folder (the run's own by default), sorted.
    Strings pictures(const std::string& folder = "") const;
    Strings shots() const { return timeline.only("shot"); }
    const MessageBoxRecord* lastBox() const;
    void answerYes() {
        window.answer = [](const MessageBoxRecord&) { return BoxAnswer::Yes; };
    }

    const bool simulation;
    // With downloadMBps above 0 and transfersTakeNoTime off, each download lasts until this returns.
    DownloadPace downloadPace;
    VirtualClock clock;
    std::shared_ptr<VirtualCameraDriver> camera;
    FakeSerialPorts systemPorts;
    VirtualCablePorts cablePorts;
    RecordingPorts ports;
    Program program{clock, ports};
    HeadlessWindow window;
    Timeline timeline{clock};
    TempDir dir;

  private:
    std::uint32_t origin_ = 0;
};

} // namespace orvex::test

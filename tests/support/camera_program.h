#pragma once
// The program with a virtual EOS body on the virtual clock, its cable lines recorded, for run tests.
#include "camera/virtual/virtual_camera.h"
#include "run/shot_execution.h"
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
    int opened = 0;

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

class CameraTestProgram {
  public:
    explicit CameraTestProgram(const VirtualProfile& profile,
                               CivilTime localStart = {2026, 12, 6, 21, 0, 0, 0},
                               std::uint32_t startTick = 0);
    ~CameraTestProgram();

    // Writes the script, starts the program connected to the body and, after `prepare`, starts the run.
    void start(const std::vector<std::string>& lines, const std::string& commandLine = "",
               const std::function<void()>& prepare = {});
    // Moves the clock on; downloads take no time on it.
    void runFor(unsigned ms);
    CableEvents cable() const;
    // The files of the picture folder, sorted.
    std::vector<std::string> pictures() const;
    const MessageBoxRecord* lastBox() const;

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

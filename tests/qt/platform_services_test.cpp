// The serial ports as Qt finds them, opened for the shutter cable on a pseudo-terminal standing in for a
// port, and the desktop's way of starting programs.
#include "platform/qt/desktop_shell.h"
#include "platform/qt/qt_serial_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace orvex {
namespace {

// The master side of a pseudo-terminal; its slave is a tty like a serial port's.
class PseudoTerminal {
  public:
    PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
    }
    ~PseudoTerminal() {
        if (master_ >= 0) close(master_);
    }
    const std::string& slave() const { return slave_; }

  private:
    int master_;
    std::string slave_;
};

TEST(SerialPortOrder, NumbersCountByValue) {
    std::vector<std::string> names = {"ttyUSB10", "ttyS1", "ttyUSB2", "ttyACM0", "ttyS0", "ttyUSB1"};
    std::sort(names.begin(), names.end(), portNameBefore);
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS1", "ttyUSB1", "ttyUSB2", "ttyUSB10"}));
    EXPECT_TRUE(portNameBefore("COM9", "COM10"));
    EXPECT_FALSE(portNameBefore("COM10", "COM10"));
}

TEST(SerialPorts, AMissingPortNeitherProbesNorOpens) {
    QtSerialPorts ports;
    EXPECT_FALSE(ports.probe("ttyOrvexMissing"));
    EXPECT_EQ(ports.open("ttyOrvexMissing"), nullptr);
    const std::vector<std::string> names = ports.portNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), portNameBefore));
}

TEST(SerialLine, APortIsTheCablesAloneUntilClosed) {
    PseudoTerminal terminal;
    ASSERT_FALSE(terminal.slave().empty());
    QtSerialPorts ports;
    auto line = ports.open(terminal.slave());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(ports.open(terminal.slave()), nullptr) << "opened exclusively";
    // A pseudo-terminal has no modem lines: the refusal is reported, not hidden.
    EXPECT_FALSE(line->setLines(true));
    line.reset();
    EXPECT_NE(ports.open(terminal.slave()), nullptr) << "free again once closed";
}

TEST(DesktopShellTest, NamedProgramsStartWithTheirArgumentsOrReportThatTheyCannot) {
    DesktopShell shell;
    EXPECT_TRUE(shell.start({ProgramKind::Named, "true", {"a b", "c"}}));
    EXPECT_FALSE(shell.start({ProgramKind::Named, "/no/such/program", {}}));
}

} // namespace
} // namespace orvex

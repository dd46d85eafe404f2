// Opening a serial port for the shutter cable, on a pseudo-terminal standing in for a port.
#include "platform/qt/qt_serial_ports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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

TEST(SerialLine, AMissingPortDoesNotOpen) {
    QtSerialPorts ports;
    EXPECT_EQ(ports.open("ttyOrvexMissing"), nullptr);
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

} // namespace
} // namespace orvex

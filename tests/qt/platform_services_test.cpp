// The serial ports as Qt finds them.
#include "platform/qt/qt_serial_ports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace orvex {
namespace {

TEST(SerialPortOrder, NumbersCountByValue) {
    std::vector<std::string> names = {"ttyUSB10", "ttyS1", "ttyUSB2", "ttyACM0", "ttyS0", "ttyUSB1"};
    std::sort(names.begin(), names.end(), portNameBefore);
    EXPECT_EQ(names,
              (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS1", "ttyUSB1", "ttyUSB2", "ttyUSB10"}));
    EXPECT_TRUE(portNameBefore("COM9", "COM10"));
    EXPECT_FALSE(portNameBefore("COM10", "COM10"));
}

TEST(SerialPorts, AProbeOfAMissingPortFails) {
    QtSerialPorts ports;
    EXPECT_FALSE(ports.probe("ttyOrvexMissing"));
    const std::vector<std::string> names = ports.portNames();
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), portNameBefore));
}

} // namespace
} // namespace orvex

#pragma once
// The serial ports of this computer as Qt's serial port module finds them.
#include "platform/serial_ports.h"

namespace orvex {

class QtSerialPorts final : public SerialPorts {
  public:
    // System names (ttyS0, ttyUSB0; COM3 on Windows), numbers in numeric order: ttyUSB2 before ttyUSB10.
    std::vector<std::string> portNames() override;
    bool probe(const std::string& name) override;
    // Exclusive: no other program, nor a second open here, can drive the cable meanwhile. Both lines start
    // released and are released again when the line is closed.
    std::unique_ptr<SerialLine> open(const std::string& name) override;
};

// The order portNames() uses, exposed for its test.
bool portNameBefore(const std::string& a, const std::string& b);

} // namespace orvex

#pragma once
// The serial ports a shutter cable can be wired to.
#include <string>
#include <vector>

namespace orvex {

class SerialPorts {
  public:
    virtual ~SerialPorts() = default;
    // The system names of the ports present, in a stable order.
    virtual std::vector<std::string> portNames() = 0;
    // True when the port opens with read and write access; it is closed again at once.
    virtual bool probe(const std::string& name) = 0;
};

} // namespace orvex

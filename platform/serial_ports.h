#pragma once
// The serial ports a shutter cable can be wired to: DTR and RTS asserted together press the release.
#include <memory>
#include <string>
#include <vector>

namespace orvex {

// An open port; closing it is destroying it.
class SerialLine {
  public:
    virtual ~SerialLine() = default;
    // Drives DTR, then RTS, to the same level. False when the port refused.
    virtual bool setLines(bool asserted) = 0;
};

class SerialPorts {
  public:
    virtual ~SerialPorts() = default;
    // The system names of the ports present, in a stable order.
    virtual std::vector<std::string> portNames() = 0;
    // True when the port opens with read and write access; it is closed again at once.
    virtual bool probe(const std::string& name) = 0;
    // Opens the port for the cable, exclusively; null when it cannot be opened.
    virtual std::unique_ptr<SerialLine> open(const std::string& name) = 0;
};

} // namespace orvex

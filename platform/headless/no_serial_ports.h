#pragma once
#include "platform/serial_ports.h"

namespace orvex {

// A computer without serial ports, for rehearsals that never press a cable.
class NoSerialPorts : public SerialPorts {
  public:
    std::vector<std::string> portNames() override { return {}; }
    bool probe(const std::string&) override { return false; }
    std::unique_ptr<SerialLine> open(const std::string&) override { return nullptr; }
};

} // namespace orvex

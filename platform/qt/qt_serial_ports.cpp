#include "platform/qt/qt_serial_ports.h"

#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>
#include <cctype>

#ifndef Q_OS_WIN
#include <termios.h>
#endif

namespace orvex {
namespace {

class QtSerialLine final : public SerialLine {
  public:
    explicit QtSerialLine(const std::string& name) : port_(QString::fromStdString(name)) {}
    ~QtSerialLine() override {
        if (!port_.isOpen()) return;
        // A cable left pressed would keep the shutter open after the program let go of the port.
        setLines(false);
        port_.close();
    }

    // Qt's serial port locks the device (lock file and TIOCEXCL on Unix, exclusive CreateFile on Windows).
    bool open() {
        if (!port_.open(QIODevice::ReadWrite)) return false;
        // Opening a tty raises DTR and RTS, which presses the cable: let go at once.
        setLines(false);
        hangUpOnLastClose();
        return true;
    }

    bool setLines(bool asserted) override {
        const bool dtr = port_.setDataTerminalReady(asserted);
        const bool rts = port_.setRequestToSend(asserted);
        return dtr && rts;
    }

  private:
    // Should the program die holding the cable (a crash, SIGKILL), the system closes the port: it drops the
    // lines then only with HUPCL, which a port keeps cleared from an earlier user (`stty -hupcl`), and a
    // pseudo-terminal starts without.
    void hangUpOnLastClose() {
#ifndef Q_OS_WIN
        termios settings{};
        const int handle = static_cast<int>(port_.handle());
        if (::tcgetattr(handle, &settings) != 0 || (settings.c_cflag & HUPCL) != 0) return;
        settings.c_cflag |= HUPCL;
        ::tcsetattr(handle, TCSANOW, &settings);
#endif
    }

    QSerialPort port_;
};

} // namespace

bool portNameBefore(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (digitA && digitB) {
            std::size_t endA = i, endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA]))) ++endA;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB]))) ++endB;
            // By value without converting: leading zeros off, then length, then digits.
            std::size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0') ++startA;
            while (startB + 1 < endB && b[startB] == '0') ++startB;
            const std::string numberA = a.substr(startA, endA - startA);
            const std::string numberB = b.substr(startB, endB - startB);
            if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
            if (numberA != numberB) return numberA < numberB;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
}

std::vector<std::string> QtSerialPorts::portNames() {
    std::vector<std::string> names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        names.push_back(info.portName().toStdString());
    std::sort(names.begin(), names.end(), portNameBefore);
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

bool QtSerialPorts::probe(const std::string& name) {
    QSerialPort port(QString::fromStdString(name));
    if (!port.open(QIODevice::ReadWrite)) return false;
    // Opening a tty raises DTR and RTS, which is how a shutter cable is pressed: let go at once.
    port.setDataTerminalReady(false);
    port.setRequestToSend(false);
    port.close();
    return true;
}

std::unique_ptr<SerialLine> QtSerialPorts::open(const std::string& name) {
    auto line = std::make_unique<QtSerialLine>(name);
    if (!line->open()) return nullptr;
    return line;
}

} // namespace orvex

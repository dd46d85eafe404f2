#pragma once
// The process-wide records, each owned by one subsystem, and the outside world they reach.
#include "app/catalogue.h"
#include "app/settings.h"
#include "app/startup_options.h"
#include "camera/camera_session.h"
#include "platform/clock.h"
#include "platform/serial_ports.h"
#include "run/run_state.h"
#include "script/script.h"
#include "script/value_tables.h"

#include <string>
#include <vector>

namespace orvex {

struct Program {
    Program(Clock& c, SerialPorts& s) : clock(c), serialPorts(s) {}

    Clock& clock;
    SerialPorts& serialPorts;

    int language = kEnglish;
    StartupOptions options; // also the simulation, slave and Save-to flags
    bool slaveMode = false;
    Settings settings;
    RunState run;
    Script script;
    ValueTables tables = makeValueTables();
    CameraSession camera;
    std::string startupDirectory;
    std::vector<std::string> availablePorts; // ports that passed the probe at start-up
    bool sdkInitialised = false;

    const char* text(int number) const { return messageText(language, number); }
};

} // namespace orvex

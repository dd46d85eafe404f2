#pragma once
// The process-wide records, each owned by one subsystem, and the outside world they reach.
#include "core/camera_session.h"
#include "core/catalogue.h"
#include "core/live_view_state.h"
#include "core/night_log.h"
#include "core/run_observer.h"
#include "core/run_state.h"
#include "core/script.h"
#include "core/settings.h"
#include "core/startup_options.h"
#include "core/transfer_queue.h"
#include "core/transfer_worker.h"
#include "core/value_tables.h"
#include "liveview/live_view_records.h"
#include "platform/clock.h"
#include "platform/kernel_clock.h"
#include "platform/serial_ports.h"
#include "platform/shell.h"
#include "platform/sound_input.h"
#include "platform/synchro.h"
#include "ui/main_controls.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

struct Program {
    Program(Clock& c, SerialPorts& s) : clock(c), serialPorts(s) {}
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

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
    // Between the script's folder and the camera's name: orvex-cli keeps a rehearsal's pictures apart there.
    std::string pictureSubfolder;
    // A rehearsal names its pictures without writing them, unless asked to: then no folder is made for them.
    PictureFile pictureFiles = PictureFile::kWritten;
    std::vector<std::string> availablePorts; // ports that passed the probe at start-up
    bool sdkInitialised = false;
    std::map<std::string, std::string> aeModeIcons; // icon file → its path, found at start
    TransferQueue transfers;
    TransferStatus transferStatus;
    std::unique_ptr<SerialLine> cable; // open from the first press of a run until the run stops
    SoundInput* soundInput = nullptr;  // what Sound lines listen to; none where nothing can be heard
    std::atomic<int> soundState{0};    // closed, open or recording; the input's thread reads it
    LiveViewState liveView;
    // On a virtual clock downloads take no time: the run waits for each drain it starts, so that
    // a rehearsal gives the same timeline every time.
    bool transfersTakeNoTime = false;
    // Shared with the other instances on the computer; none for one on a clock of its own (a rehearsal),
    // which neither publishes its starts nor follows another's.
    Synchro* synchro = nullptr;
    SyncReading lastSyncValue;      // the shared value as last read: a slave starts when it changes
    bool runTimerShortened = false; // the run timer's first period lines its ticks up with an older origin
    RunObserver* observer = nullptr;
    // What the kernel says of the computer's clock, asked before a run that follows it; none for a rehearsal,
    // whose clock is exact.
    const KernelClock* kernelClock = nullptr;
    std::uint32_t clockReadAt = 0; // when the kernel was last asked, in ticks
    // The last run's, kept open after it for the files its body sends late; none when it could not be made.
    std::unique_ptr<NightLog> nightLog;
    Shell* shell = nullptr; // starts the script editor and other programs; none in orvex-cli
    // Where the first script added to a chain came from; every later chain is written there too.
    std::string chainDirectory;

    // Last: a drain still going on ends before the records it uses go away.
    TransferWorker transferWorker{transfers,
                                  transferStatus,
                                  {run.shotCount, run.picturesReported, run.downloadsFailed},
                                  clock,
                                  observer};

    const char* text(int number) const { return messageText(language, number); }
    MainView mainView() const { return {run, camera, script, options, availablePorts, slaveMode, language}; }
    LiveViewRecords liveViewRecords() {
        return {liveView, camera, run, settings, observer, options, language};
    }
};

} // namespace orvex

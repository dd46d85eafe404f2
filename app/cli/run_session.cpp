#include "app/cli/run_session.h"

#include "app/cli/plan_drawing.h"
#include "app/cli/plan_file.h"
#include "app/cli/plan_recorder.h"
#include "app/cli/run_observers.h"
#include "app/cli/session_time.h"
#include "app/cli/timeline_printer.h"
#include "app/main_window.h"
#include "app/profile_problem_text.h"
#include "app/synchro_problem_text.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/no_serial_ports.h"
#include "platform/headless/recorded_sound.h"
#include "platform/headless/wav_file.h"
#include "platform/interrupt_watch.h"
#include "platform/kernel_clock.h"
#include "platform/portaudio/portaudio_sound_input.h"
#include "platform/posix/shared_synchro.h"
#include "resources/main_dialog.h"
#include "run/clock_warning.h"
#include "run/run_controller.h"
#include "run/run_end.h"
#include "run/sound_detection.h"
#include "run/transfer.h"
#include "sdk/gphoto2/gphoto_driver.h"
#include "sdk/virtual/virtual_camera.h"
#include "ui/main_controls.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orvex::cli {
namespace {

constexpr int kMessageConnectCamera = 38;
constexpr int kMessageNoCamera = 121; // "(No camera found)"
constexpr int kMessageNotAnExposure = 230;
constexpr int kMessageSoundUnreadable = 220;
constexpr int kMessageSoundNotPlayable = 221;
constexpr int kMessageSoundNeeded = 222;
constexpr int kMessageSoundNotAFile = 223;
constexpr int kMessageSoundCutShort = 224;
constexpr int kMessageNoSharedStart = 225;
constexpr int kMessageNoSoundInput = 226;
constexpr int kMessageSlaveWaitsInGroup = 242;
constexpr int kMessageSlaveWaitsInDefaultGroup = 243;
constexpr int kMessageWarning = 198;
constexpr int kMessagePlanNotWritable = 250;
constexpr int kMessagePlanIsTheScript = 290;

constexpr const char* kRehearsalFolder = "rehearsal/";

// The folders a rehearsal made for the pictures it was asked to write, taken away again if it stored none
// there. Only those it made itself: a folder that was there before, or that someone else made meanwhile,
// stays.
class MadeFolders {
  public:
    explicit MadeFolders(const std::vector<std::string>& outermostFirst) {
        for (const std::string& folder : outermostFirst)
            if (makeNewFolder(folder)) made_.push_back(folder);
    }
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    ~MadeFolders() {
        for (auto folder = made_.rbegin(); folder != made_.rend(); ++folder) removeEmptyFolder(*folder);
    }

  private:
    std::vector<std::string> made_;
};

bool waitsForSound(const Script& script) {
    return std::any_of(script.lines.begin(), script.lines.end(),
                       [](const ScriptLine& line) { return line.kind == TriggerKind::Sound; });
}

// The computer's input, which says on the terminal, in the user's language, when it cannot be opened: the
// run's error box gives only a code.
class ToldSoundInput final : public SoundInput {
  public:
    ToldSoundInput(const Program& program, std::ostream& err) : program_(program), err_(err) {}
    int open(unsigned count, SoundBuffer buffer) override {
        const int error = input_.open(count, std::move(buffer));
        if (error != 0) err_ << "orvex-cli: " << program_.text(kMessageNoSoundInput) << '\n';
        return error;
    }
    int start() override { return input_.start(); }
    int close() override { return input_.close(); }
    bool stoppedByItself() const override { return input_.stoppedByItself(); }

  private:
    PortAudioSoundInput input_;
    const Program& program_;
    std::ostream& err_;
};

void selectLockup(Window& w, const std::string& choice) {
    if (choice == "Off")
        w.listSelectIndex(kLockupList, 0);
    else if (choice == "Manu")
        w.listSelectIndex(kLockupList, w.listCount(kLockupList) - 1);
    else
        w.listSelectPrefix(kLockupList, choice);
}

} // namespace

int runSession(const RunOptions& o, bool realTime, std::ostream& out, std::ostream& err,
               const std::function<void()>& eachTurn) {
    // Whoever watches a slave learns at once what it waits for, and which rig's master it would follow.
    if (o.slave) {
        const std::string group = SharedSynchro::groupName();
        const int language = o.language.value_or(kEnglish);
        err << "orvex-cli: "
            << (group.empty() ? messageText(language, kMessageSlaveWaitsInDefaultGroup)
                              : formatMessage(language, kMessageSlaveWaitsInGroup, group))
            << '\n'
            << std::flush;
    }
    std::optional<PlanFile> planFile;
    if (o.plan) {
        if (sameFile(*o.plan, o.script)) {
            err << "orvex-cli: "
                << formatMessage(o.language.value_or(kEnglish), kMessagePlanIsTheScript, *o.plan) << '\n';
            return 2;
        }
        // Nor over the files the rehearsal reads: the recording, a body's profile.
        const auto readFile = [&](const std::optional<std::string>& file) {
            return file && fileExists(*file) && sameFile(*o.plan, *file);
        };
        if (!readFile(o.sound) && !readFile(o.camera)) planFile.emplace(*o.plan);
        if (!planFile || !planFile->writable()) {
            err << "orvex-cli: "
                << formatMessage(o.language.value_or(kEnglish), kMessagePlanNotWritable, *o.plan) << '\n';
            return 2;
        }
    }
    // Without --camera a rehearsal is in simulation mode, the default virtual body only lending its cable
    // port, and a run drives the first body on USB (or the one --connect names).
    const bool realBody = realTime && !o.camera;
    ProfileProblem problem;
    auto profile = loadVirtualProfile(o.camera.value_or(""), problem);
    if (!profile) {
        err << "orvex-cli: " << profileProblemText(o.language.value_or(kEnglish), problem) << '\n';
        return 2;
    }
    // A rehearsal's pictures are files only when asked for: otherwise nobody sees them.
    profile->picturesUnseen = !realTime && !o.pictures;
    std::optional<std::vector<std::int16_t>> recording;
    if (o.sound) {
        SoundFile file = readSoundFile(*o.sound);
        const int language = o.language.value_or(kEnglish);
        const auto say = [&](int message) {
            err << "orvex-cli: " << formatMessage(language, message, *o.sound) << '\n';
        };
        if (file.problem != SoundFileProblem::kNone) {
            say(file.problem == SoundFileProblem::kUnreadable ? kMessageSoundUnreadable
                : file.problem == SoundFileProblem::kNotAFile ? kMessageSoundNotAFile
                                                              : kMessageSoundNotPlayable);
            return 2;
        }
        if (file.sound.cutShort) say(kMessageSoundCutShort);
        recording = std::move(file.sound.samples);
    }
    // Before the session's first thread: a Ctrl-C waits for the loop below, whichever thread it came to.
    InterruptWatch interrupt;
    // A run reads the computer's clocks as the desktop program does; a rehearsal keeps a virtual one.
    const std::unique_ptr<SessionTime> time =
        realTime ? cli::realTime() : rehearsalTime(o.clock, o.utcOffsetMinutes);
    // In real time downloads take the time the body's link speed gives, while the run goes on.
    const DownloadPace realPace = [](unsigned ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    const auto camera = makeVirtualCamera(*profile, time->clock(), time->cameraTimers(),
                                          realTime ? realPace : DownloadPace{});
    std::shared_ptr<sdk::CameraDriver> driver;
    if (o.camera) driver = camera;
    if (realBody) driver = makeGphotoDriver();
    // Registered for this session only.
    struct Registration {
        std::shared_ptr<sdk::CameraDriver> driver;
        ~Registration() {
            if (driver) sdk::unregisterCameraDriver(driver);
        }
    } registration{driver};
    if (driver) sdk::registerCameraDriver(driver);
    NoSerialPorts systemPorts;
    VirtualCablePorts virtualPorts(systemPorts, camera);
    SerialPorts& ports = realBody ? static_cast<SerialPorts&>(systemPorts) : virtualPorts;
    Program program(time->clock(), ports);
    if (o.language) program.language = *o.language;
    // A run starts in step with the other instances on the computer; a rehearsal's clock is its own.
    std::optional<SharedSynchro> shared;
    if (realTime) {
        shared.emplace();
        if (!shared->usable()) {
            err << "orvex-cli: "
                << formatMessage(program.language, kMessageNoSharedStart,
                                 synchroProblemText(program.language, shared->problem()))
                << '\n';
            // A slave could only wait for ever.
            if (o.slave) return 1;
        }
        program.synchro = &*shared;
        program.kernelClock = &systemKernelClock();
    }
    program.options = startupOptions(o);
    if (realBody) {
        // The desktop program's -connect rules: a body id, or the first body whose session opens.
        program.options.simulation = false;
        program.options.connectRequested = true;
    }
    // A rehearsal's pictures are kept apart from those of the night it rehearses.
    if (!realTime) program.pictureSubfolder = kRehearsalFolder;
    // Its pictures are named in the timeline; as files they would fill the disk for nobody.
    if (!realTime && !o.pictures) program.pictureFiles = PictureFile::kNamedOnly;

    // Downloads take no time on the rehearsal's clock: each drain ends before time moves on.
    program.transfersTakeNoTime = !realTime;
    TimelinePrinter printer(program, out);
    PlanRecorder recorder(program);
    RunObservers both(printer, recorder);
    program.observer = planFile ? static_cast<RunObserver*>(&both) : &printer;
    // The end of the session, for the timeline and the plan; a plan lost on its way to the disk is an error.
    bool planLost = false;
    const auto ended = [&](std::optional<RunStatus> status) {
        status ? printer.end(*status) : printer.endUntil();
        if (!planFile) return;
        status ? recorder.end(*status) : recorder.endUntil();
        if (planFile->write(drawPlan(recorder.plan()))) return;
        planLost = true;
        err << "orvex-cli: " << formatMessage(program.language, kMessagePlanNotWritable, *o.plan) << '\n';
    };
    HeadlessWindow window([&](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
                          [&](int id) { return colourField(program.mainView(), id); }, &time->windowTimers());
    window.answer = [&](const MessageBoxRecord& box) {
        printer.message(box.caption, box.text);
        recorder.told(box.text);
        return box.buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
    };

    // Made after the window and gone before it: no buffer reaches a window or a program that is gone.
    // A recording plays on the window's timers, in step with the session's clock.
    std::unique_ptr<SoundInput> sound;
    if (recording)
        sound = std::make_unique<RecordedSound>(std::move(*recording), time->clock(), time->windowTimers());
    else if (realTime)
        sound = std::make_unique<ToldSoundInput>(program, err);
    program.soundInput = sound.get();
    recorder.watch(window);

    printer.start();
    recorder.start(o.script);
    window.create(MAIN_DIALOG);
    if (window.destroyed()) return 1;
    // A body connected already whose Lockup is fixed at Off (a 300D, which has no mirror lock-up) keeps it,
    // as the desktop program's -lockuptime gives way to it: its mirror-up press would take a picture.
    if (o.lockup && !(program.camera.connected && program.camera.rules.lockupFixedOff))
        selectLockup(window, *o.lockup);
    if (o.universalTime) program.run.settings.universalTime = true;
    if ((realBody || o.connect) && !program.camera.connected) {
        // Where the connection knew why it took no body, it has said so in a box already: a body id no body
        // has (another body may well be there), or bodies that another program holds.
        const auto& boxes = window.messageBoxes();
        const bool told = !boxes.empty() && boxes.back().caption == program.text(kMessageConnectCamera);
        std::string text = told ? boxes.back().text : program.text(kMessageNoCamera);
        std::replace(text.begin(), text.end(), '\r', ' ');
        if (!told) printer.message(program.text(kMessageConnectCamera), text);
        recorder.told(text);
        ended(program.run.status);
        err << "orvex-cli: " << text << '\n';
        window.send({MessageKind::Close, 0, {}});
        return planLost ? 2 : 1;
    }
    if (o.fromLine && program.script.loaded && !program.run.startLine) {
        err << "orvex-cli: " << formatMessage(program.language, kMessageNotAnExposure, *o.fromLine) << '\n';
        window.send({MessageKind::Close, 0, {}});
        return 2;
    }
    // A rehearsal cannot listen to the computer: its clock is not the computer's.
    if (!realTime && !sound && program.script.loaded && waitsForSound(program.script)) {
        err << "orvex-cli: " << program.text(kMessageSoundNeeded) << '\n';
        window.send({MessageKind::Close, 0, {}});
        return 2;
    }
    if (!program.camera.connected) window.click(kConnectButton);
    std::optional<MadeFolders> rehearsalFolders;
    if (!realTime && o.pictures)
        rehearsalFolders.emplace(std::vector<std::string>{pictureRoot(program), pictureFolder(program)});
    // A run --start began at once has shown no box: its warning goes to the timeline all the same.
    if (program.run.running)
        if (const auto warning = runClockWarning(program))
            printer.message(program.text(kMessageWarning), *warning);
    // A slave waits, idle, for its master to start: its run begins from the shared value.
    if (!program.run.running && !program.slaveMode) {
        if (!window.isItemEnabled(kStartButton)) {
            ended(program.run.status);
            return planLost ? 2 : 1;
        }
        // Stopped while it connected (a Ctrl-C, a shutdown): it ends before its first line is pressed.
        if (interrupt.taken()) {
            ended(program.run.status);
            window.send({MessageKind::Close, 0, {}});
            return planLost ? 2 : 1;
        }
        window.click(kStartButton);
    }
    // It waits only for a start it can take: without its script or its body, or once its master's start
    // came and its own was refused, it would wait for ever, its master shooting alone. It ends as a refused
    // start ends.
    const SyncReading noStartYet = program.lastSyncValue;
    const auto waitingForMaster = [&] {
        return program.slaveMode && !program.run.running && program.run.status == RunStatus::kIdle &&
               program.script.loaded && program.camera.connected && program.lastSyncValue == noStartYet;
    };
    // The shared object was spoiled while this instance waited: no start of the master could reach it.
    const auto cutOff = [&] { return shared && !shared->usable(); };

    bool interrupted = false;
    // A rehearsal's turn takes a microsecond: asking the kernel for a Ctrl-C at each one would cost a day's
    // rehearsal most of its time, where every few hundred turns still answers at once.
    const unsigned turnsPerLook = realTime ? 1 : 512;
    for (unsigned turn = 0;
         (program.run.running || waitingForMaster()) && (!o.untilMs || time->elapsedMs() < *o.untilMs);
         ++turn) {
        const bool stop = turn % turnsPerLook == 0 && interrupt.taken();
        if (waitingForMaster()) {
            if (stop || cutOff()) {
                interrupted = stop;
                break;
            }
        } else if (stop) {
            window.click(kStartButton);
        }
        eachTurn();
        time->pass();
        window.pump();
    }
    if (waitingForMaster()) {
        if (cutOff())
            err << "orvex-cli: "
                << formatMessage(program.language, kMessageNoSharedStart,
                                 synchroProblemText(program.language, shared->problem()))
                << '\n';
        ended(interrupted || cutOff() ? std::optional(program.run.status) : std::nullopt);
        window.send({MessageKind::Close, 0, {}});
        return planLost ? 2 : 1;
    }
    // The limit came with the run going on. A shot under way then ends as Stop ends it, its pictures filed:
    // cut off with the session, it would leave its picture behind, in the body's memory only when there is
    // no card. A rehearsal has no picture to lose, and its timeline stops at the limit.
    const bool untilReached = program.run.running;
    if (untilReached && realTime && shotUnderWay(program.run)) {
        stopAfterTheShot(program, window);
        while (program.run.running && !interrupt.taken()) {
            eachTurn();
            time->pass();
            window.pump();
        }
    }
    // The body may send the last exposure's later files up to `fileGapMs` after its first, when the run
    // has already ended: the session lasts that long again so that they are downloaded, not lost.
    for (const auto endedAt = time->elapsedMs();
         !program.run.running && time->elapsedMs() - endedAt < profile->fileGapMs && !interrupt.taken();) {
        eachTurn();
        time->pass();
        window.pump();
    }
    if (program.run.running) {
        closeSound(program); // its thread reports to the printer too, and must not outlive the end's line
        // What the body handed over is filed before the end is told, as a stop files it; the worker reports
        // to the printer too.
        fileQueuedPictures(program);
        // Stopped before the end is told: what a stop says (pictures lost, pictures left on the card) is
        // this run's news, and a reader of the timeline stops at its end line.
        stopRun(program, window);
        ended(std::nullopt);
        program.observer = nullptr;
        window.send({MessageKind::Close, 0, {}});
        return planLost ? 2 : 1;
    }
    // A body that went during the call that ended the run (the first line's, made by Start itself) has
    // told so in a message not yet read: read, it ends the run as a body gone, as at any later line.
    window.pump();
    program.transferWorker.join();
    ended(untilReached ? std::nullopt : std::optional(program.run.status));
    program.observer = nullptr;
    const bool completed = !untilReached && program.run.status == RunStatus::kCompleted;
    window.send({MessageKind::Close, 0, {}});
    if (planLost) return 2;
    return completed ? 0 : 1;
}

} // namespace orvex::cli

#include "tests/support/run_program.h"

#include "tests/support/picture_files.h"

#include "app/profile_problem_text.h"
#include "core/catalogue.h"
#include "run/transfer.h"
#include "sdk/virtual/virtual_profile.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace orvex::test {
namespace {

class RecordingLine : public SerialLine {
  public:
    RecordingLine(std::unique_ptr<SerialLine> line, RecordingPorts& owner, const Clock& clock)
        : line_(std::move(line)), owner_(owner), clock_(clock) {}
    bool setLines(bool asserted) override {
        owner_.changes.push_back({asserted, clock_.tick()});
        return line_->setLines(asserted);
    }

  private:
    std::unique_ptr<SerialLine> line_;
    RecordingPorts& owner_;
    const Clock& clock_;
};

// "bulb aeMode=4" as the profile file a user would write.
VirtualProfile profileOf(const std::string& body) {
    std::istringstream words(body == kSimulation ? "bulb" : body);
    std::string word, text = "[camera]\n";
    words >> word;
    text += "preset=" + word + "\n";
    while (words >> word) text += word + "\n";
    ProfileProblem problem;
    const auto profile = parseVirtualProfile(text, body, problem);
    EXPECT_TRUE(profile) << profileProblemText(kEnglish, problem);
    return profile.value_or(VirtualProfile{});
}

} // namespace

std::unique_ptr<SerialLine> RecordingPorts::open(const std::string& name) {
    auto line = ports_.open(name);
    if (!line) return nullptr;
    return std::make_unique<RecordingLine>(std::move(line), *this, clock_);
}

RunProgram::RunProgram(const std::string& body, CivilTime localStart, std::uint32_t startTick,
                       int utcOffsetMinutes)
    : simulation(body == kSimulation), clock(localStart, utcOffsetMinutes, startTick),
      camera(makeVirtualCamera(profileOf(body), clock, clock,
                               [this](unsigned ms) {
                                   if (downloadPace) downloadPace(ms);
                               })),
      cablePorts(systemPorts, camera), ports(cablePorts, clock),
      window([this](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
             [this](int id) { return colourField(program.mainView(), id); }, &clock) {
    if (!simulation) sdk::registerCameraDriver(camera);
    program.observer = &timeline;
    program.transfersTakeNoTime = true;
}

RunProgram::~RunProgram() {
    program.transferWorker.join();
    program.observer = nullptr;
    program.run.running = false;
    window.send({MessageKind::Close, 0, {}});
    if (!simulation) sdk::unregisterCameraDriver(camera);
}

void RunProgram::start(const std::vector<std::string>& lines, const std::string& commandLine,
                       const std::function<void()>& prepare) {
    open(commandLine + " -load=\"" + dir.write("night.txt", scriptText(lines)) + "\"");
    if (prepare) prepare();
    origin_ = clock.tick();
    timeline.start();
    if (window.isItemEnabled(kStartButton)) window.click(kStartButton);
}

void RunProgram::open(const std::string& commandLine) {
    program.options = parseCommandLine(commandLine + (simulation ? " -simul" : "") + " -connect=\"\"");
    window.create(MAIN_DIALOG);
    if (!program.camera.connected) window.click(kConnectButton); // simulation mode connects on demand only
}

void RunProgram::runFor(unsigned ms) {
    for (unsigned done = 0; done < ms; done += 10) {
        clock.advance(std::min(10u, ms - done));
        window.pump();
    }
}

CableEvents RunProgram::cable() const {
    CableEvents result;
    for (const auto& c : ports.changes) result.push_back({c.asserted, ticksBetween(origin_, c.tick)});
    return result;
}

Strings RunProgram::pictures(const std::string& folder) const {
    Strings names;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(folder.empty() ? pictureFolder(program) : folder, ec))
        if (!isNightLog(entry.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const MessageBoxRecord* RunProgram::lastBox() const {
    return window.messageBoxes().empty() ? nullptr : &window.messageBoxes().back();
}

} // namespace orvex::test

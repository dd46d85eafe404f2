#include "tests/support/camera_program.h"

#include "camera/transfer.h"

#include <algorithm>
#include <filesystem>

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

} // namespace

std::unique_ptr<SerialLine> RecordingPorts::open(const std::string& name) {
    auto line = ports_.open(name);
    if (!line) return nullptr;
    ++opened;
    return std::make_unique<RecordingLine>(std::move(line), *this, clock_);
}

CameraTestProgram::CameraTestProgram(const VirtualProfile& profile, CivilTime localStart,
                                     std::uint32_t startTick)
    : clock(localStart, 0, startTick), camera(makeVirtualCamera(profile, clock, clock)),
      cablePorts(systemPorts, camera), ports(cablePorts, clock),
      window([this](Window& w, const DialogMessage& m) { mainWindowProcedure(program, w, m); },
             [this](int id) { return colourField(program, id); }, &clock) {
    sdk::registerCameraDriver(camera);
    program.observer = &timeline;
    program.transfersTakeNoTime = true;
}

CameraTestProgram::~CameraTestProgram() {
    program.transferWorker.join();
    program.observer = nullptr;
    program.run.running = false;
    window.send({MessageKind::Close, 0, {}});
    sdk::unregisterCameraDriver(camera);
}

void CameraTestProgram::start(const std::vector<std::string>& lines, const std::string& commandLine,
                              const std::function<void()>& prepare) {
    const std::string script = dir.write("night.txt", scriptText(lines));
    program.options = parseCommandLine(commandLine + " -connect=\"\" -load=\"" + script + "\"");
    window.create(MAIN_DIALOG);
    if (prepare) prepare();
    origin_ = clock.tick();
    timeline.start();
    if (window.isItemEnabled(kStartButton)) window.click(kStartButton);
}

void CameraTestProgram::runFor(unsigned ms) {
    for (unsigned done = 0; done < ms; done += 10) {
        clock.advance(std::min(10u, ms - done));
        window.pump();
    }
}

CableEvents CameraTestProgram::cable() const {
    CableEvents result;
    for (const auto& c : ports.changes) result.push_back({c.asserted, ticksBetween(origin_, c.tick)});
    return result;
}

std::vector<std::string> CameraTestProgram::pictures() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(pictureFolder(program), ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const MessageBoxRecord* CameraTestProgram::lastBox() const {
    return window.messageBoxes().empty() ? nullptr : &window.messageBoxes().back();
}

} // namespace orvex::test

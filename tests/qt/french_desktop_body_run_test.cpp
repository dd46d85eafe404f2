// The desktop program's own window on a French desktop, driving the tests' emulated EOS body through the
// real libgphoto2, whose labels read in French there ("Manuel", "pose longue", "Carte mémoire" …).
#include "sdk/gphoto2/gphoto_driver.h"
#include "core/run_state.h"
#include "tests/qt/program_window.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QMessageBox>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <libintl.h>
#include <optional>
#include <utility>
#include <vector>

namespace orvex {
namespace {

// The environment and locale of a French user whose body is the emulated one, put back afterwards.
class FrenchDesktop {
  public:
    explicit FrenchDesktop(const std::string& home) : locale_(std::setlocale(LC_ALL, nullptr)) {
        for (const auto& [name, value] :
             {std::pair<std::string, std::string>{"CAMLIBS", ORVEX_EMULATED_CAMLIBS},
              {"IOLIBS", ORVEX_EMULATED_IOLIBS},
              {"HOME", home},
              {"ORVEX_EMULATED_BODIES", "3272"},
              // A 700D without the "bulb" widget: bulb goes by the remote release.
              {"ORVEX_EMULATED_FAULTS", "no-bulb"},
              {"ORVEX_EMULATED_LOG", home + "/body.log"}}) {
            const char* old = std::getenv(name.c_str());
            saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            setenv(name.c_str(), value.c_str(), 1);
        }
        french_ = std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
    }
    ~FrenchDesktop() {
        std::setlocale(LC_ALL, locale_.c_str());
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    }
    bool french() const { return french_; }

  private:
    std::string locale_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
    bool french_ = false;
};

std::vector<std::string> bodyLog(const std::string& home) {
    std::ifstream log(home + "/body.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find(' ') + 1));
    return lines;
}

TEST(FrenchDesktopBodyRun, RunsABulbExposureSavedToTheCardAndDrivesTheFocus) {
    test::ProgramWindow desktop(kFrench);
    const std::string home = desktop.folder.path();
    const FrenchDesktop environment(home);
    ASSERT_TRUE(environment.french()) << "no French locale: run scripts/install-deps.sh";
    ASSERT_STREQ(dgettext("libgphoto2-6", "Manual"), "Manuel")
        << "no libgphoto2-l10n: run scripts/install-deps.sh";
    const auto driver = makeGphotoDriver();
    sdk::registerCameraDriver(driver);
    {
        // A 4 s exposure is beyond what the body times itself here: the program holds the release.
        const std::string script = desktop.folder.write(
            "night.txt",
            "DELAY\tF/D\tSPEEDX\tSPEED/\tISO\tQUALITY\tBURST\n0\t8\t4\t1\t100\tR\n2\t8\t1\t250\t100\tR\n");
        // A message box would stop the run where it stands: it is noted and closed.
        std::vector<std::string> boxes;
        QTimer boxCloser;
        QObject::connect(&boxCloser, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes.push_back(box->text().toStdString());
                box->done(QMessageBox::Ok);
            }
        });
        boxCloser.start(50);
        desktop.start("-connect=\"\" -savetocam -start=\"\" -load=\"" + script + "\"");
        const Program& program = desktop.program;
        QDeadlineTimer deadline(30000);
        while (program.run.running && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(messageOf(program.run.status), messageOf(RunStatus::kCompleted));
        EXPECT_EQ(program.run.shotCount.load(), 2);
        EXPECT_THAT(boxes, ::testing::IsEmpty());
        // A step of the focus drive, as the live view window asks it.
        EXPECT_EQ(
            EdsSendCommand(program.camera.camera, kEdsCameraCommand_DriveLensEvf, kEdsEvfDriveLens_Near1),
            EDS_ERR_OK);
        const std::vector<std::string> told = bodyLog(home);
        EXPECT_THAT(told, ::testing::IsSupersetOf({"set capturetarget Memory card", "set shutterspeed bulb",
                                                   "set eosremoterelease Press Full",
                                                   "file /store_00020001/DCIM/100CANON/IMG_0002.CR2",
                                                   "set manualfocusdrive Near 1"}));
        if (desktop.window && desktop.program.camera.connected)
            disconnectCamera(desktop.program, *desktop.window);
    }
    sdk::unregisterCameraDriver(driver);
}

} // namespace
} // namespace orvex

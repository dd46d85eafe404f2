#pragma once
// The desktop program's process: the toolkit's application, the computer's clock, timer thread, serial ports
// and desktop, and the main window's event loop. The toolkit stays behind this interface.
#include "platform/clock.h"
#include "platform/scheduler.h"
#include "platform/serial_ports.h"
#include "platform/shell.h"
#include "platform/window.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvex {

// --screenshot=PATH: the window, or the dialog a command opens, is saved as PNG once it is up, then the
// program quits; for machines without a screen.
struct ScreenshotRequest {
    std::string path;
    std::optional<int> dialogCommand;
};

class DesktopApplication {
  public:
    // The toolkit takes its own options (-platform, -style …) out of argv.
    DesktopApplication(int& argc, char** argv);
    ~DesktopApplication();
    DesktopApplication(const DesktopApplication&) = delete;
    DesktopApplication& operator=(const DesktopApplication&) = delete;

    // The command line left to the program, without the program's name.
    const std::vector<std::string>& arguments() const;
    Clock& clock();
    Scheduler& scheduler();
    SerialPorts& serialPorts();
    Shell& shell();
    // An error box, or its text on standard error once a signal asked the program to end.
    void showError(const std::string& caption, const std::string& text);

    // Shows the main window and runs until its procedure quits; the exit code. The window's initialisation
    // may already have given up, and then it is never shown. A screenshot that could not be saved makes it 1.
    // The program also quits once a screenshot is saved, and on Ctrl-C, SIGTERM (a logout, a shutdown, kill)
    // or SIGHUP (but for one it was started ignoring), the boxes in front of the window closed and told on
    // standard error, also those of the initialisation: `endRun` first ends a run in progress, which would
    // refuse to quit. It answers whether the program may close; when not yet (a shot to finish), it is asked
    // again until it may, with `atOnce` set once the end was asked twice, and for a screenshot.
    int run(const DialogTemplate& dialog, DialogProcedure procedure, ColourProcedure colour,
            std::function<AnswerTexts()> answerTexts, const ScreenshotRequest& screenshot,
            std::function<bool(Window& window, bool atOnce)> endRun);

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace orvex

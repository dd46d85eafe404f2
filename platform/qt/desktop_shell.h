#pragma once
// Starts programs the way the desktop would: its own text editor, spreadsheet and file manager (as its
// file associations name them), the program of a document's type, or a program by name, each with an
// argument list.
#include "platform/shell.h"

namespace orvex {

class DesktopShell final : public Shell {
  public:
    bool start(const ProgramStart& request) override;
};

} // namespace orvex

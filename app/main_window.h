#pragma once
// The main window's procedure: the initialisation sequence, and commands, timers and user messages by id.
#include "platform/window.h"
#include "resources/main_dialog.h"
#include "run/program.h"

#include <optional>
#include <string>

namespace orvex {

// The main window's command that opens the dialog of that template name, if one does.
std::optional<int> commandOpening(const std::string& dialogName);

void mainWindowProcedure(Program& program, Window& window, const DialogMessage& message);

// What a question's buttons say in the current language: "Yes" and "No" come from the catalogue.
AnswerTexts answerTexts(const Program& program);

} // namespace orvex

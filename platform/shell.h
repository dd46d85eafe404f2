#pragma once
// Starting other programs: always with a list of arguments, never through a command interpreter.
#include <string>
#include <vector>

namespace orvex {

// What a program name from the settings stands for. The settings keep the names users chose on the
// program's first platform ("Notepad.exe"); each platform starts its own program of that kind.
// A Document is opened by the desktop's program for its type; the document is the first argument.
enum class ProgramKind { TextEditor, Spreadsheet, FileManager, Named, Document };

struct ProgramStart {
    ProgramKind kind = ProgramKind::Named;
    std::string name; // the program itself when the kind is Named
    std::vector<std::string> arguments;
    friend bool operator==(const ProgramStart&, const ProgramStart&) = default;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // False when no program could be started.
    virtual bool start(const ProgramStart& request) = 0;
};

} // namespace orvex

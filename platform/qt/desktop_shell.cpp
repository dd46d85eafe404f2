#include "platform/qt/desktop_shell.h"

#include "platform/desktop_entry.h"

#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTextStream>

#include <vector>

namespace orvex {
namespace {

using Command = std::vector<std::string>;

// How long the desktop may take to say which program it associates with a file type.
constexpr int kQueryTimeoutMs = 3000;

QString fromLocal(const std::string& text) {
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::string fileType(const ProgramStart& request) {
    switch (request.kind) {
    case ProgramKind::TextEditor:
        return "text/plain";
    case ProgramKind::Spreadsheet:
        return "application/vnd.oasis.opendocument.spreadsheet";
    case ProgramKind::FileManager:
        return "inode/directory";
    case ProgramKind::Document:
        if (request.arguments.empty()) break;
        return QMimeDatabase().mimeTypeForFile(fromLocal(request.arguments.front())).name().toStdString();
    case ProgramKind::Named:
        break;
    }
    return {};
}

// Common programs of the kind, for desktops that name none.
std::vector<Command> wellKnown(ProgramKind kind) {
    switch (kind) {
    case ProgramKind::TextEditor:
        return {{"gnome-text-editor"}, {"gedit"}, {"kate"}, {"kwrite"}, {"mousepad"}, {"xed"}, {"pluma"},
                {"featherpad"},        {"geany"}};
    case ProgramKind::Spreadsheet:
        return {{"libreoffice", "--calc"}, {"localc"}, {"gnumeric"}, {"onlyoffice-desktopeditors"}};
    case ProgramKind::FileManager:
        return {{"xdg-open"}, {"nautilus"}, {"dolphin"}, {"thunar"}, {"nemo"}, {"caja"}, {"pcmanfm"}};
    case ProgramKind::Document: // the documents the program opens are its manuals
        return {{"evince"}, {"okular"}, {"atril"}, {"qpdfview"}, {"zathura"}, {"mupdf"}, {"xpdf"}};
    case ProgramKind::Named:
        break;
    }
    return {};
}

// The Exec value of the desktop's default program for the file type; empty when it has none that runs
// without a terminal.
std::string defaultExec(const std::string& type) {
    if (type.empty()) return {};
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QString::fromStdString(type)});
    if (!query.waitForFinished(kQueryTimeoutMs) || query.exitCode() != 0) return {};
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed().section(';', 0, 0);
    if (id.isEmpty()) return {};
    QFile entry(QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id));
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    QTextStream in(&entry);
    bool mainGroup = false;
    QString exec;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) mainGroup = line == QStringLiteral("[Desktop Entry]");
        if (!mainGroup) continue;
        if (line.startsWith(QStringLiteral("Exec="))) exec = line.mid(5);
        if (line == QStringLiteral("Terminal=true")) return {};
    }
    return exec.toStdString();
}

bool run(const Command& command) {
    if (command.empty()) return false;
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i) arguments << fromLocal(command[i]);
    return QProcess::startDetached(fromLocal(command.front()), arguments);
}

} // namespace

bool DesktopShell::start(const ProgramStart& request) {
    if (request.kind == ProgramKind::Named) {
        Command command{request.name};
        command.insert(command.end(), request.arguments.begin(), request.arguments.end());
        return run(command);
    }
    const std::string exec = defaultExec(fileType(request));
    if (!exec.empty() && run(execArguments(exec, request.arguments))) return true;
    for (Command command : wellKnown(request.kind)) {
        if (QStandardPaths::findExecutable(fromLocal(command.front())).isEmpty()) continue;
        command.insert(command.end(), request.arguments.begin(), request.arguments.end());
        if (run(command)) return true;
    }
    return false;
}

} // namespace orvex

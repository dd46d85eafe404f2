#include "app/desktop/plan_command.h"

#include "app/desktop/rehearsal_arguments.h"
#include "platform/qt/plan_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace orvex {
namespace {

enum Message { kError = 54, kCannotExecute = 26, kPlanTitle = 258 };

// Sound lines wait for ever on silence: the plan shows them waiting.
bool writeSilence(const QString& path) {
    static const char header[] =
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0"
        "data\0\0\0\0";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header, sizeof header - 1) == sizeof header - 1;
}

std::string fileName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void showScriptPlan(const Program& p, Window& w) {
    // A second choice of the entry while the first rehearsal runs is the same plan.
    static bool rehearsing = false;
    if (rehearsing || !p.script.loaded) return;
    QTemporaryDir folder;
    const QString plan = folder.filePath("plan.svg");
    std::optional<std::string> sound;
    if (listensForSound(p.script) && writeSilence(folder.filePath("silence.wav")))
        sound = folder.filePath("silence.wav").toStdString();
    QStringList arguments;
    for (const std::string& a : rehearsalArguments(p, w, plan.toStdString(), sound))
        arguments << QString::fromStdString(a);

    QProcess rehearsal;
    // orvex-cli reads Orvex.ini where the program does.
    rehearsal.setWorkingDirectory(QString::fromStdString(p.startupDirectory));
    rehearsal.setStandardOutputFile(QProcess::nullDevice());
    const QString cli = QApplication::applicationDirPath() + "/orvex-cli";
    QEventLoop loop;
    QObject::connect(&rehearsal, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&rehearsal, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    rehearsing = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    rehearsal.start(cli, arguments);
    if (rehearsal.waitForStarted() && rehearsal.state() != QProcess::NotRunning) loop.exec();
    QApplication::restoreOverrideCursor();
    rehearsing = false;

    QFile drawn(plan);
    const QByteArray svg = drawn.open(QIODevice::ReadOnly) ? drawn.readAll() : QByteArray();
    if (rehearsal.exitStatus() != QProcess::NormalExit || rehearsal.exitCode() == 2 || svg.isEmpty()) {
        QString why = QString::fromUtf8(rehearsal.readAllStandardError()).trimmed();
        why.remove("orvex-cli: ");
        if (why.isEmpty()) why = QString(p.text(kCannotExecute)) + " " + cli;
        w.messageBox(why.toStdString(), p.text(kError), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    showPlanWindow(w, formatMessage(p.language, kPlanTitle, fileName(p.script.path)), svg.toStdString());
}

} // namespace orvex

#include "platform/qt/plan_rehearsal.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace orvex {
namespace {

// Sound lines wait for ever on silence: the plan shows them waiting.
bool writeSilence(const QString& path) {
    static const char header[] =
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0"
        "data\0\0\0\0";
    QFile file(path);
    // The write only fills Qt's buffer: a full disk refuses it at the flush.
    return file.open(QIODevice::WriteOnly) && file.write(header, sizeof header - 1) == sizeof header - 1 &&
           file.flush();
}

} // namespace

RehearsedPlan rehearsePlan(const RehearsalArguments& arguments, bool silence,
                           const std::string& workingDirectory) {
    QTemporaryDir folder;
    RehearsedPlan result;
    // Where no temporary folder can be made (TMPDIR read-only, full, not a folder), orvex-cli would be handed
    // no plan file at all and answer with its usage.
    if (!folder.isValid()) {
        result.unwritten = QDir::tempPath().toStdString();
        return result;
    }
    const QString plan = folder.filePath("plan.svg");
    std::optional<std::string> sound;
    if (silence) {
        // Without it orvex-cli would blame the recording, or ask for one, rather than the disk.
        if (!writeSilence(folder.filePath("silence.wav"))) {
            result.unwritten = plan.toStdString();
            return result;
        }
        sound = folder.filePath("silence.wav").toStdString();
    }
    QStringList list;
    for (const std::string& a : arguments(plan.toStdString(), sound)) list << QString::fromStdString(a);

    QProcess rehearsal;
    rehearsal.setWorkingDirectory(QString::fromStdString(workingDirectory));
    rehearsal.setStandardOutputFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&rehearsal, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&rehearsal, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    rehearsal.start(QApplication::applicationDirPath() + "/orvex-cli", list);
    if (rehearsal.waitForStarted() && rehearsal.state() != QProcess::NotRunning) loop.exec();
    QApplication::restoreOverrideCursor();

    QFile drawn(plan);
    if (rehearsal.exitStatus() == QProcess::NormalExit && rehearsal.exitCode() != 2 &&
        drawn.open(QIODevice::ReadOnly))
        result.svg = drawn.readAll().toStdString();
    if (result.svg.empty())
        result.problem =
            QString::fromUtf8(rehearsal.readAllStandardError()).trimmed().remove("orvex-cli: ").toStdString();
    return result;
}

} // namespace orvex

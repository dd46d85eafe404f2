// Build-time tool: writes the program's icon, as the program draws it, into PNG files for the desktop's
// icon theme.
//   orvex-icon-png OUTPUT_FOLDER   → OUTPUT_FOLDER/<size>x<size>/apps/orvex.png, as an icon theme lays them
//   out
#include "platform/qt/program_icon.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: orvex-icon-png OUTPUT_FOLDER\n");
        return 2;
    }
    const QIcon icon = orvex::programIcon();
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !icon.pixmap(size, size).save(folder + "/orvex.png")) {
            std::fprintf(stderr, "orvex-icon-png: cannot write %s/orvex.png\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}

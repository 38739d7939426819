// Draws the program's icon into the PNG files of the hicolor icon theme:
//   pinora-icons OUTDIR   writes OUTDIR/<n>x<n>/apps/pinora.png for the usual sizes
#include "app/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "usage: pinora-icons OUTDIR\n";
        return 2;
    }
    const QDir out(app.arguments().at(1));
    const QIcon icon = PinoraIcon();
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        if (!out.mkpath(dir) || !icon.pixmap(size, size).save(out.filePath(dir + "/pinora.png"))) {
            QTextStream(stderr) << "cannot write " << out.filePath(dir) << "\n";
            return 1;
        }
    }
    return 0;
}

#include "app/AppDir.h"
#include "store/NoteFileIO.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pinora"));
    QApplication::setApplicationDisplayName(QStringLiteral("ピノラ"));

    const QString appDir = AppDir::GetAppDir();
    const NoteFileLoad load = LoadNoteFile(appDir + QLatin1String(kNoteFileName), QDateTime::currentDateTime());
    QTextStream(stderr) << "ピノラ: " << appDir << ": " << load.count << " notes\n";
    return 0;
}

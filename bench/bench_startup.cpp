// Start-up of the real program with a desktop full of notes, under a real X
// server (run it inside xvfb-run):
//   xvfb-run -a -s '-screen 0 1920x1080x24' build/bench/bench_startup build/src/app/Pinora 100 500
// For each count it writes a data file of that many notes with about 2 KB of
// formatted RTF each next to a copy of the program, starts it, and reports the time
// until every note window is mapped, the resident memory once they are, and how
// long the program takes to end on SIGTERM, once running and during start-up.
#include "store/NoteFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <csignal>

namespace {

QByteArray noteRtf(int i) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
                     "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}{\\f1\\fswiss\\fcharset0 Arial;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\tx390\\tx780\\f0\\fs20 ";
    for (int k = 0; rtf.size() < 2000; ++k)
        // Japanese in the Shift-JIS font, the Latin part in Arial.
        rtf += (k % 2 ? "\\b\\cf1 " : "\\b0\\cf0 ") + QByteArray("\\f0\\'83\\'81\\'83\\'82\\f1  note ") +
               QByteArray::number(i) + (k % 3 == 2 ? "\\par\r\n" : "\\tab ");
    return rtf + "\\par\r\n}\r\n";
}

QByteArray dataFile(int count) {
    QList<NoteRecord> records;
    for (int i = 0; i < count; ++i) {
        NoteRecord r;
        r.Index = i + 1;
        r.Left = 15 * (20 + (i * 37) % 1500);
        r.Top = 15 * (20 + (i * 23) % 800);
        r.Width = 3000;
        r.Height = 1500;
        r.BackColor = 0x0098FFFF;
        r.TextRTF = noteRtf(i);
        r.CreatedAt = "26/12/06 21:35:00";
        r.VisibleFlag = "T";
        r.PlaceOnShowFlag = "F";
        records << r;
    }
    records << NoteRecord{};
    return NoteFile::encode(count, records);
}

int mappedNoteWindows() {
    QProcess p;
    p.start(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", "Pinora"});
    p.waitForFinished();
    return int(p.readAllStandardOutput().count('\n'));
}

qint64 residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: bench_startup PINORA COUNT...\n";
        return 2;
    }
    for (const QString& countText : args.mid(2)) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        QFile::copy(args.at(1), dir.filePath("Pinora"));
        QFile data(dir.filePath("Pinora.dat"));
        data.open(QIODevice::WriteOnly);
        data.write(dataFile(count));
        data.close();

        QProcess pinora;
        pinora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer clock;
        clock.start();
        pinora.start(dir.filePath("Pinora"));
        pinora.waitForStarted();
        // The tray or status window counts as one more mapped window.
        while (mappedNoteWindows() < count + 1 && clock.elapsed() < 120000)
            QThread::msleep(20);
        const qint64 elapsed = clock.elapsed();
        QThread::msleep(500);
        out << count << " notes: all mapped after " << elapsed << " ms, resident "
            << residentKiB(pinora.processId()) / 1024 << " MiB\n";
        clock.restart();
        ::kill(pinora.processId(), SIGTERM);
        pinora.waitForFinished(60000);
        out << "  ended " << clock.elapsed() << " ms after SIGTERM\n";

        // The same signal while the notes are still being built.
        pinora.start(dir.filePath("Pinora"));
        pinora.waitForStarted();
        QThread::msleep(300);
        clock.restart();
        ::kill(pinora.processId(), SIGTERM);
        pinora.waitForFinished(60000);
        out << "  ended " << clock.elapsed() << " ms after a SIGTERM 300 ms into start-up\n";
        out.flush();
    }
    return 0;
}

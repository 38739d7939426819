// Start-up of the real program with a desktop full of notes, beside the bare
// toolkit (baseline_notes, built next to it) and, where it is installed, Debian's
// GTK sticky-note program xpad (apt-get install xpad), under a real X server with a
// window manager:
//   xvfb-run -a -s '-screen 0 1920x1080x24' sh -c
//       'openbox & sleep 1; build/bench/bench_startup build/src/app/Pinora 100 500'
// For each count it writes a data file of that many notes (300 × 300 pixels, about
// 300 characters, 40 % Japanese) and starts each program on it: the time until every
// note window is mapped, until the program and the X server have gone quiet
// (settled), the resident memory then, the CPU the window manager spent from the
// start until settled, and the ratios to the baseline, to the baseline with the one
// raise pass the program makes after showing its notes, and to xpad: medians of
// three runs, the programs taking turns. xpad gets the same notes as plain text in a
// home folder of its own. With two counts or more also the
// memory each further note costs. For Pinora also the CPU it uses once settled, and
// how long it takes to end on SIGTERM, once running and during start-up.
//   bench_startup [--runs N] PINORA COUNT...   N runs of each program (3 by default)
//   bench_startup --data COUNT FILE   only writes the data file, for profiling by hand
#include "store/NoteFile.h"

#include "MapWatcher.h"
#include "ProcessUsage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace {

// Per line: six Japanese characters, then nine Latin ones ("メモ付箋紙の note 007").
const char JapaneseSjis[] = "\\'83\\'81\\'83\\'82\\'95\\'74\\'e2\\'b3\\'8e\\'86\\'82\\'cc";
const char Japanese[] = "メモ付箋紙の";

QByteArray noteRtf(int i) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
                     "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}{\\f1\\fswiss\\fcharset0 Arial;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\tx390\\tx780\\f0\\fs20 ";
    for (int k = 0; k < 20; ++k)
        rtf += (k % 2 ? "\\b\\cf1" : "\\b0\\cf0") + QByteArray("\\f0 ") + JapaneseSjis + "\\f1  note " +
               QByteArray::number(i % 1000).rightJustified(3, '0') + (k % 3 == 2 ? "\\par\r\n" : "\\tab ");
    return rtf + "\\par\r\n}\r\n";
}

// The same text, plain.
QByteArray noteText(int i) {
    QByteArray text;
    for (int k = 0; k < 20; ++k)
        text += Japanese + QByteArray(" note ") + QByteArray::number(i % 1000).rightJustified(3, '0') +
                (k % 3 == 2 ? "\n" : "\t");
    return text;
}

QPoint notePlace(int i) {
    return {20 + (i * 37) % 1500, 20 + (i * 23) % 800};
}

QByteArray dataFile(int count) {
    QList<NoteRecord> records;
    for (int i = 0; i < count; ++i) {
        NoteRecord r;
        r.index = i + 1;
        r.left = 15 * notePlace(i).x();
        r.top = 15 * notePlace(i).y();
        r.width = 4500;
        r.height = 4500;
        r.backColor = 0x0098FFFF;
        r.textRtf = noteRtf(i);
        r.createdAt = "26/12/06 21:35:00";
        r.visibleFlag = "T";
        r.placeOnShowFlag = "F";
        records << r;
    }
    records << NoteRecord{};
    return NoteFile::encode(count, records);
}

// xpad's own files for the same notes, under home/.config/xpad: a style without a
// wait for the tray, and an info and a content file per note.
void writeXpadNotes(const QString& home, int count) {
    const QDir dir(home + QStringLiteral("/.config/xpad"));
    dir.mkpath(QStringLiteral("."));
    auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    };
    write(QStringLiteral("default-style"), "decorations 0\nheight 300\nwidth 300\nautostart_wait_systray 0\n");
    for (int i = 0; i < count; ++i) {
        const QByteArray id = QByteArray::number(i).rightJustified(5, '0');
        write(QStringLiteral("info-") + id,
              "width 300\nheight 300\nx " + QByteArray::number(notePlace(i).x()) + "\ny " +
                  QByteArray::number(notePlace(i).y()) +
                  "\nfollow_font 1\nfollow_color 1\nsticky 0\nhidden 0\ncontent content-" + id + "\n");
        write(QStringLiteral("content-") + id, noteText(i));
    }
}

// The first running process of the given names, 0 when none runs.
qint64 pidOf(const QString& names) {
    QProcess p;
    p.start(QStringLiteral("pgrep"), {"-o", "-x", names});
    p.waitForFinished();
    return p.readAllStandardOutput().trimmed().toLongLong();
}

qint64 xServerPid() {
    QProcess p;
    p.start(QStringLiteral("pgrep"), {"-n", "-f", QStringLiteral("Xvfb %1").arg(qEnvironmentVariable("DISPLAY"))});
    p.waitForFinished();
    return p.readAllStandardOutput().trimmed().toLongLong();
}

struct Run {
    qint64 mappedMs = -1;
    qint64 settledMs = -1;
    qint64 residentKiB = -1;
    qint64 windowManagerMs = -1; // the window manager's CPU from the start until settled
};

struct Program {
    QString name;
    QString path;
    QStringList arguments;
    int windows = 0; // mapped windows once every note shows
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

const QString WindowManagers = QStringLiteral("openbox|xfwm4|kwin_x11|mutter|marco|metacity|icewm");

// Starts the program and waits until it has its windows mapped, then until neither
// it, the X server nor the window manager used any CPU for half a second.
Run measure(QProcess& process, const Program& program) {
    Run run;
    MapWatcher watcher;
    const qint64 server = xServerPid();
    const qint64 windowManager = pidOf(WindowManagers);
    const double windowManagerBefore = ProcessUsage::cpuSeconds(windowManager);
    QElapsedTimer clock;
    clock.start();
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setProcessEnvironment(program.environment);
    process.start(program.path, program.arguments);
    process.waitForStarted();
    watcher.waitForMapped(process.processId(), program.windows, 180000);
    run.mappedMs = clock.elapsed();
    double last = -1;
    qint64 quietSince = clock.elapsed();
    while (clock.elapsed() < 300000) {
        const double now = ProcessUsage::cpuSeconds(process.processId()) + ProcessUsage::cpuSeconds(server) +
                           ProcessUsage::cpuSeconds(windowManager);
        if (now != last) {
            last = now;
            quietSince = clock.elapsed();
        } else if (clock.elapsed() - quietSince >= 500) {
            break;
        }
        QThread::msleep(50);
    }
    run.settledMs = quietSince;
    run.residentKiB = ProcessUsage::memoryKiB(process.processId(), "VmRSS:");
    if (windowManager > 0)
        run.windowManagerMs = qint64(1000 * (ProcessUsage::cpuSeconds(windowManager) - windowManagerBefore));
    return run;
}

QString ratio(qint64 value, qint64 baseline) {
    return baseline > 0 ? QString::number(double(value) / double(baseline), 'f', 2) : QStringLiteral("-");
}

qint64 median(QList<qint64> values) {
    std::sort(values.begin(), values.end());
    return values.value(values.size() / 2, -1);
}

// The median of each figure over the runs.
Run medianOf(const QList<Run>& runs) {
    QList<qint64> mapped, settled, resident, windowManager;
    for (const Run& r : runs) {
        mapped << r.mappedMs;
        settled << r.settledMs;
        resident << r.residentKiB;
        windowManager << r.windowManagerMs;
    }
    return Run{median(mapped), median(settled), median(resident), median(windowManager)};
}

Run runOnce(const Program& program) {
    QProcess process;
    const Run run = measure(process, program);
    ::kill(process.processId(), SIGTERM);
    process.waitForFinished(60000);
    QThread::msleep(1000);
    return run;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QStringList args = app.arguments();
    // --runs N: how many times each program starts for each count (3 by default).
    int runs = 3;
    if (const qsizetype at = args.indexOf(QStringLiteral("--runs")); at > 0 && at + 1 < args.size()) {
        runs = std::max(1, args.at(at + 1).toInt());
        args.remove(at, 2);
    }
    if (args.size() == 4 && args.at(1) == QLatin1String("--data")) {
        QFile data(args.at(3));
        return data.open(QIODevice::WriteOnly) && data.write(dataFile(args.at(2).toInt())) > 0 ? 0 : 1;
    }
    if (args.size() < 3 || !MapWatcher().ok()) {
        QTextStream(stderr) << "usage: bench_startup PINORA COUNT... (under an X server)\n";
        return 2;
    }
    const QString baseline = QCoreApplication::applicationDirPath() + QStringLiteral("/baseline_notes");
    const QString xpad = QStandardPaths::findExecutable(QStringLiteral("xpad"));
    if (xpad.isEmpty())
        out << "xpad is not installed: the GTK program is left out (apt-get install xpad)\n";
    QList<std::pair<int, std::pair<Run, Run>>> results;
    for (const QString& countText : args.mid(2)) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        QFile::copy(args.at(1), dir.filePath("Pinora"));
        QFile data(dir.filePath("Pinora.dat"));
        data.open(QIODevice::WriteOnly);
        data.write(dataFile(count));
        data.close();

        QList<Program> programs{
            {QStringLiteral("bare Qt baseline"), baseline, {dir.filePath("Pinora.dat")}, count},
            {QStringLiteral("baseline + raising"), baseline, {dir.filePath("Pinora.dat"), "--raise"}, count},
            // The tray's stand-in counts as one more window.
            {QStringLiteral("Pinora"), dir.filePath("Pinora"), {}, count + 1},
        };
        if (!xpad.isEmpty()) {
            const QString home = dir.filePath(QStringLiteral("xpad-home"));
            writeXpadNotes(home, count);
            Program gtk{QStringLiteral("xpad (GTK)"), xpad, {}, count};
            gtk.environment.insert(QStringLiteral("HOME"), home);
            gtk.environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
            programs << gtk;
        }
        QList<QList<Run>> runsOf(programs.size());
        for (int i = 0; i < runs; ++i)
            for (qsizetype p = 0; p < programs.size(); ++p)
                runsOf[p] << runOnce(programs.at(p));
        QList<Run> medians;
        for (const QList<Run>& r : runsOf)
            medians << medianOf(r);
        const Run& base = medians.at(0);
        const Run& run = medians.at(2);
        results.append({count, {base, run}});
        out << count << " notes               mapped     settled   resident  window manager CPU (medians of " << runs
            << ")\n";
        for (qsizetype p = 0; p < programs.size(); ++p)
            out << QStringLiteral("  %1 %2 ms  %3 ms  %4 MiB  %5 ms\n")
                       .arg(programs.at(p).name, -18)
                       .arg(medians.at(p).mappedMs, 7)
                       .arg(medians.at(p).settledMs, 7)
                       .arg(medians.at(p).residentKiB / 1024, 5)
                       .arg(medians.at(p).windowManagerMs, 7);
        for (qsizetype p = 0; p < programs.size(); ++p) {
            if (p == 2)
                continue;
            const Run& other = medians.at(p);
            out << QStringLiteral("  Pinora / %1 %2       %3       %4     %5\n")
                       .arg(programs.at(p).name, -18)
                       .arg(ratio(run.mappedMs, other.mappedMs), 5)
                       .arg(ratio(run.settledMs, other.settledMs), 5)
                       .arg(ratio(run.residentKiB, other.residentKiB), 5)
                       .arg(ratio(run.windowManagerMs, other.windowManagerMs), 5);
        }
        out.flush();

        QProcess pinora;
        measure(pinora, programs.at(2));
        const double cpuBefore = ProcessUsage::cpuSeconds(pinora.processId());
        QThread::msleep(5000);
        out << "  Pinora idle: " << ProcessUsage::cpuSeconds(pinora.processId()) - cpuBefore
            << " s of CPU in the 5 s after settling\n";
        QElapsedTimer clock;
        clock.start();
        ::kill(pinora.processId(), SIGTERM);
        pinora.waitForFinished(60000);
        out << "  Pinora ended " << clock.elapsed() << " ms after SIGTERM\n";

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
    // What each note beyond the first count adds to the resident memory.
    for (qsizetype i = 1; i < results.size(); ++i) {
        const auto& [lowCount, low] = results.at(i - 1);
        const auto& [highCount, high] = results.at(i);
        const double notes = highCount - lowCount;
        const double bare = double(high.first.residentKiB - low.first.residentKiB) / notes;
        const double pinora = double(high.second.residentKiB - low.second.residentKiB) / notes;
        out << QStringLiteral("memory per note from %1 to %2 notes: baseline %3 KiB, Pinora %4 KiB, ratio %5\n")
                   .arg(lowCount)
                   .arg(highCount)
                   .arg(bare, 0, 'f', 0)
                   .arg(pinora, 0, 'f', 0)
                   .arg(bare > 0 ? QString::number(pinora / bare, 'f', 2) : QStringLiteral("-"));
    }
    return 0;
}

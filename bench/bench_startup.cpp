// Start-up of the real program with a desktop full of notes, beside the bare
// toolkit (baseline_notes, built next to it), under a real X server with a window
// manager:
//   xvfb-run -a -s '-screen 0 1920x1080x24' sh -c
//       'openbox & sleep 1; build/bench/bench_startup build/src/app/Pinora 100 500'
// For each count it writes a data file of that many notes (300 × 300 pixels, about
// 300 characters, 40 % Japanese) and starts each program on it: the time until every
// note window is mapped, until the program and the X server have gone quiet
// (settled), the resident memory then, and the ratios to the baseline, and to the
// baseline with the one raise pass the program makes after showing its notes:
// medians of three runs, the programs taking turns. With two counts or more also the
// memory each further note costs. For Pinora also the CPU it uses once settled, and
// how long it takes to end on SIGTERM, once running and during start-up.
//   bench_startup [--runs N] PINORA COUNT...   N runs of each program (3 by default)
//   bench_startup --data COUNT FILE   only writes the data file, for profiling by hand
#include "store/NoteFile.h"

#include "MapWatcher.h"
#include "ProcessUsage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <csignal>

namespace {

QByteArray noteRtf(int i) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fnil\\fcharset128 "
                     "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}{\\f1\\fswiss\\fcharset0 Arial;}}"
                     "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\tx390\\tx780\\f0\\fs20 ";
    // Per line: six Japanese characters under the Shift-JIS font, nine Latin ones in Arial.
    for (int k = 0; k < 20; ++k)
        rtf += (k % 2 ? "\\b\\cf1" : "\\b0\\cf0") +
               QByteArray("\\f0 \\'83\\'81\\'83\\'82\\'95\\'74\\'e2\\'b3\\'8e\\'86\\'82\\'cc") + "\\f1  note " +
               QByteArray::number(i % 1000).rightJustified(3, '0') + (k % 3 == 2 ? "\\par\r\n" : "\\tab ");
    return rtf + "\\par\r\n}\r\n";
}

QByteArray dataFile(int count) {
    QList<NoteRecord> records;
    for (int i = 0; i < count; ++i) {
        NoteRecord r;
        r.Index = i + 1;
        r.Left = 15 * (20 + (i * 37) % 1500);
        r.Top = 15 * (20 + (i * 23) % 800);
        r.Width = 4500;
        r.Height = 4500;
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
};

// Starts the program and waits until it has count windows mapped, then until
// neither it nor the X server used any CPU for half a second.
Run measure(QProcess& process, const QString& program, const QStringList& arguments, int count) {
    Run run;
    MapWatcher watcher;
    QElapsedTimer clock;
    clock.start();
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    process.waitForStarted();
    watcher.waitForMapped(process.processId(), count, 180000);
    run.mappedMs = clock.elapsed();
    const qint64 server = xServerPid();
    double last = -1;
    qint64 quietSince = clock.elapsed();
    while (clock.elapsed() < 300000) {
        const double now = ProcessUsage::cpuSeconds(process.processId()) + ProcessUsage::cpuSeconds(server);
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
    QList<qint64> mapped, settled, resident;
    for (const Run& r : runs) {
        mapped << r.mappedMs;
        settled << r.settledMs;
        resident << r.residentKiB;
    }
    return Run{median(mapped), median(settled), median(resident)};
}

Run runOnce(const QString& program, const QStringList& arguments, int windows) {
    QProcess process;
    const Run run = measure(process, program, arguments, windows);
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
    QList<std::pair<int, std::pair<Run, Run>>> results;
    for (const QString& countText : args.mid(2)) {
        const int count = countText.toInt();
        QTemporaryDir dir;
        QFile::copy(args.at(1), dir.filePath("Pinora"));
        QFile data(dir.filePath("Pinora.dat"));
        data.open(QIODevice::WriteOnly);
        data.write(dataFile(count));
        data.close();

        QList<Run> bareRuns, raisingRuns, pinoraRuns;
        for (int i = 0; i < runs; ++i) {
            bareRuns << runOnce(baseline, {dir.filePath("Pinora.dat")}, count);
            raisingRuns << runOnce(baseline, {dir.filePath("Pinora.dat"), "--raise"}, count);
            // The tray's stand-in counts as one more window.
            pinoraRuns << runOnce(dir.filePath("Pinora"), {}, count + 1);
        }
        const Run base = medianOf(bareRuns);
        const Run raising = medianOf(raisingRuns);
        const Run run = medianOf(pinoraRuns);
        results.append({count, {base, run}});
        out << count << " notes                 mapped     settled    resident   (medians of " << runs << ")\n";
        out << QStringLiteral("  bare Qt baseline    %1 ms  %2 ms  %3 MiB\n")
                   .arg(base.mappedMs, 7)
                   .arg(base.settledMs, 7)
                   .arg(base.residentKiB / 1024, 5);
        out << QStringLiteral("  baseline + raising  %1 ms  %2 ms  %3 MiB\n")
                   .arg(raising.mappedMs, 7)
                   .arg(raising.settledMs, 7)
                   .arg(raising.residentKiB / 1024, 5);
        out << QStringLiteral("  Pinora              %1 ms  %2 ms  %3 MiB\n")
                   .arg(run.mappedMs, 7)
                   .arg(run.settledMs, 7)
                   .arg(run.residentKiB / 1024, 5);
        out << QStringLiteral("  ratio               %1       %2       %3\n")
                   .arg(ratio(run.mappedMs, base.mappedMs), 7)
                   .arg(ratio(run.settledMs, base.settledMs), 7)
                   .arg(ratio(run.residentKiB, base.residentKiB), 5);
        out << QStringLiteral("  ratio to + raising  %1       %2       %3\n")
                   .arg(ratio(run.mappedMs, raising.mappedMs), 7)
                   .arg(ratio(run.settledMs, raising.settledMs), 7)
                   .arg(ratio(run.residentKiB, raising.residentKiB), 5);
        out.flush();

        QProcess pinora;
        measure(pinora, dir.filePath("Pinora"), {}, count + 1);
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

// Receiving notes, under a real X server (run it inside xvfb-run):
//   xvfb-run -a -s '-screen 0 1920x1080x24' build/bench/bench_network build/src/app/Pinora
//
// 1. From a datagram arriving to its note being mapped on the screen, in this
//    process with the program's own socket and receiver; beside it the bare
//    toolkit: the same datagram turned into a plain window of the same size.
// 2. The real program during a flood of 10 000 note datagrams a second for 10 s on
//    loopback: its CPU time and memory, beside the same program left idle as long.
#include "net/NoteReceiver.h"
#include "net/TransferMessage.h"
#include "note/AppState.h"
#include "note/NoteBuilder.h"
#include "note/NoteWindow.h"
#include "platform/UdpSocket.h"

#include "ProcessUsage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUdpSocket>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <unistd.h>

namespace {

const QByteArray kRtf =
    "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
    "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\\viewkind4\\uc1\\pard\\f0\\fs20 "
    "\\'94\\'83\\'82\\'a2\\'95\\'a8 from the network\\par}";

QByteArray datagram() {
    return DatagramSocket::toWire(BuildTransferMessage(3000, 1500, 0x0098FFFF, QString::fromLatin1(kRtf)));
}

bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

QString summary(QList<qint64> micros) {
    std::sort(micros.begin(), micros.end());
    return QStringLiteral("median %1 ms, 90th percentile %2 ms")
        .arg(micros.at(micros.size() / 2) / 1000.0, 0, 'f', 1)
        .arg(micros.at(micros.size() * 9 / 10) / 1000.0, 0, 'f', 1);
}

// Datagram to mapped window: with the program's receiver, or with a plain window.
QList<qint64> arrivalToMapped(bool notes, int rounds) {
    AppState state;
    QTemporaryDir dir;
    state.appDir = dir.path() + '/';
    state.loading = false;
    state.noteWindows.resize(2);
    BuildPlaceholder(state);
    UdpSocket socket;
    socket.bind(0);
    QUdpSocket sender;
    QList<qint64> micros;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        // A fresh receiver each round: the bound on bursts is not what is measured.
        NoteReceiver receiver(state, socket);
        std::unique_ptr<QWidget> plain;
        if (!notes) {
            socket.disconnect(&receiver);
            QObject::connect(&socket, &DatagramSocket::datagramArrived, &receiver, [&] {
                socket.receive();
                plain = std::make_unique<QWidget>();
                plain->resize(200, 100);
                plain->show();
            });
        }
        const qint32 before = state.noteCount;
        clock.start();
        sender.writeDatagram(datagram(), QHostAddress::LocalHost, socket.localPort());
        const bool mapped = waitUntil([&] {
            QWidget* w = notes ? (state.noteCount > before ? state.noteWindows.value(state.noteCount).data() : nullptr)
                               : plain.get();
            return w && w->windowHandle() && w->windowHandle()->isExposed();
        });
        if (mapped)
            micros << clock.nsecsElapsed() / 1000;
        QThread::msleep(20);
    }
    return micros;
}

struct Usage {
    double cpuSeconds;
    qint64 peakKiB;
};

Usage usageOf(qint64 pid) {
    return {ProcessUsage::cpuSeconds(pid), ProcessUsage::memoryKiB(pid, "VmHWM:")};
}

// The program for ten seconds, flooded or left alone.
Usage programUnder(const QString& program, bool flood, int* datagramsSent) {
    QTemporaryDir dir;
    QFile::copy(program, dir.filePath("Pinora"));
    quint16 port;
    {
        QUdpSocket probe;
        probe.bind(QHostAddress::LocalHost, 0);
        port = probe.localPort();
    }
    QFile ini(dir.filePath("Pinora.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(QStringLiteral("[ピノラ]\nポート番号=%1\n").arg(port).toUtf8());
    ini.close();
    QProcess pinora;
    pinora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pinora.start(dir.filePath("Pinora"));
    pinora.waitForStarted();
    QThread::msleep(1500);
    const Usage before = usageOf(pinora.processId());
    QUdpSocket sender;
    const QByteArray bytes = datagram();
    QElapsedTimer clock;
    clock.start();
    int sent = 0;
    while (clock.elapsed() < 10000) {
        // 10 datagrams a millisecond.
        const qint64 due = clock.elapsed() * 10;
        while (flood && sent < due)
            sent += sender.writeDatagram(bytes, QHostAddress::LocalHost, port) > 0;
        QThread::usleep(500);
    }
    const Usage after = usageOf(pinora.processId());
    ::kill(pinora.processId(), SIGTERM);
    pinora.waitForFinished(10000);
    if (datagramsSent)
        *datagramsSent = sent;
    return {after.cpuSeconds - before.cpuSeconds, after.peakKiB};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (app.arguments().size() < 2) {
        QTextStream(stderr) << "usage: bench_network PINORA\n";
        return 2;
    }
    constexpr int kRounds = 40;
    out << "datagram to mapped window, " << kRounds << " rounds\n";
    out << "  a plain window (the toolkit alone): " << summary(arrivalToMapped(false, kRounds)) << "\n";
    out << "  a received note:                    " << summary(arrivalToMapped(true, kRounds)) << "\n";
    out.flush();

    int sent = 0;
    const Usage idle = programUnder(app.arguments().at(1), false, nullptr);
    const Usage flooded = programUnder(app.arguments().at(1), true, &sent);
    out << "the program for 10 s\n";
    out << QStringLiteral("  idle:                             CPU %1 s, peak resident %2 MiB\n")
               .arg(idle.cpuSeconds, 0, 'f', 2)
               .arg(idle.peakKiB / 1024.0, 0, 'f', 1);
    out << QStringLiteral("  flooded with %1 note datagrams: CPU %2 s, peak resident %3 MiB\n")
               .arg(sent)
               .arg(flooded.cpuSeconds, 0, 'f', 2)
               .arg(flooded.peakKiB / 1024.0, 0, 'f', 1);
    return 0;
}

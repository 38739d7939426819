// Copies of the program on computers of their own (network namespaces joined by a
// switch, each with its own host name and Avahi daemon) find each other, exchange
// a note through the real user interface, also during another computer's flood,
// and report a computer that no longer listens. All of them draw on the test's X server.
#include "net/TransferMessage.h"
#include "note/NoteColor.h"
#include "platform/DatagramSocket.h"
#include "store/NoteFile.h"

#include "FileBytes.h"
#include "SavedNote.h"
#include "Settle.h"
#include "WindowManager.h"
#include "X11Windows.h"

#include <QDir>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

namespace {

const QString kLab = QStringLiteral(PINORA_NETWORK_LAB);

QString output(const QString& program, const QStringList& arguments) {
    return X11Windows::run(program, arguments).trimmed();
}

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QStringList windowsOf(qint64 pid, const QString& name = {}) {
    QStringList criteria{"--pid", QString::number(pid)};
    if (!name.isEmpty())
        criteria << "--all"
                 << "--name" << name;
    return X11Windows::search(criteria);
}

// The send window or a message box: windows titled ピノラ, larger than the stand-in
// for the tray, which has that title too.
QStringList dialogsOf(qint64 pid) {
    QStringList dialogs;
    for (const QString& id : windowsOf(pid, "^ピノラ$"))
        if (!X11Windows::isSmall(X11Windows::geometry(id)))
            dialogs << id;
    return dialogs;
}

NoteRecord note(const QByteArray& rtf) {
    NoteRecord r = SavedNote(1200, 900, rtf);
    r.backColor = NoteColor::Green;
    return r;
}

// The notes in a computer's data file, or none.
QList<NoteRecord> savedNotes(const QString& dir) {
    const std::optional<NoteFile::Contents> contents = NoteFile::decode(readBytes(dir + "/Pinora.dat"));
    return contents ? contents->records.mid(0, contents->count) : QList<NoteRecord>();
}

} // namespace

class TestNetworkE2E : public QObject {
    Q_OBJECT

    struct Computer {
        QString name;
        QString dir;
        qint64 pid = 0;
        QString log() const { return QString::fromUtf8(readBytes(dir + "/stderr.log")); }
    };

private slots:
    void initTestCase() {
        if (::geteuid() != 0 || QProcess::execute("unshare", {"-n", "-u", "-m", "true"}) != 0)
            QSKIP("builds computers of network namespaces, which needs root and a system that allows them");
        for (const char* tool : {"ip", "nsenter", "unshare", "avahi-daemon", "dbus-daemon"})
            if (QProcess::execute("sh", {"-c", QStringLiteral("command -v %1 >/dev/null").arg(tool)}) != 0)
                QSKIP(qPrintable(QStringLiteral("needs %1 (iproute2, util-linux, avahi-daemon, dbus)").arg(tool)));
        QVERIFY(m_windowManager.start());
        // The computers have host names of their own; the X server's cookie must
        // not depend on the host name.
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString cookies = qEnvironmentVariable("XAUTHORITY");
        m_xauthority = m_scratch.filePath("Xauthority");
        if (!cookies.isEmpty())
            QCOMPARE(QProcess::execute("sh", {"-c", QStringLiteral("xauth -f '%1' nlist '%2' | sed 's/^..../ffff/' | "
                                                                   "xauth -f '%3' nmerge -")
                                                        .arg(cookies, display, m_xauthority)}),
                     0);
        m_labName = QStringLiteral("pnr%1").arg(::getpid() % 100000);
        // C's host name has dots, as on a computer named by its domain.
        QCOMPARE(QProcess::execute(kLab, {"up", m_labName, "a", "b", "c=c.example.org", "d"}), 0);
        m_labUp = true;
    }
    void cleanup() {
        // What each copy said, for a failure far away on a CI machine.
        if (QTest::currentTestFailed())
            for (const char* name : {"a", "b", "c"})
                qWarning().noquote() << "--- computer" << name << "\n"
                                     << QString::fromUtf8(
                                            readBytes(m_scratch.filePath(QLatin1String(name) + "/stderr.log")));
        // A copy a failed test left running would hold the port for the next one.
        for (const qint64 pid : std::as_const(m_started))
            ::kill(pid_t(pid), SIGKILL);
        m_started.clear();
    }
    void cleanupTestCase() {
        if (m_labUp)
            QProcess::execute(kLab, {"down", m_labName});
    }

    void notesTravelBetweenComputers() {
        Computer a = start("a", NoteFile::encode(1, {note("{\\rtf1\\ansi\\f0\\fs20 from A\\par}"), {}}));
        Computer b = start("b");
        Computer c = start("c");
        // D runs no copy but claims to be a "b" of another domain, with a service of ours.
        output(kLab, {"run", m_labName, "d", m_scratch.filePath("d-host.log"), "avahi-publish", "-a", "-R",
                      "b.evil.local", "10.199.0.4"});
        output(kLab, {"run", m_labName, "d", m_scratch.filePath("d-service.log"), "avahi-publish", "-s", "-H",
                      "b.evil.local", "Pinora on evil", "_pinora._udp", "2000"});
        // A finds B, C and the impostor (and itself) on the network, each by its own address.
        QTRY_VERIFY_WITH_TIMEOUT(a.log().contains("found B (b.local) at 10.199.0.2") &&
                                     a.log().contains("found C (c.local) at 10.199.0.3") &&
                                     a.log().contains("found B.EVIL.LOCAL (b.evil.local) at 10.199.0.4"),
                                 30000);

        QVERIFY(openSendWindow(a));
        const QStringList listed = lastListed(a);
        QCOMPARE(QSet<QString>(listed.begin(), listed.end()), (QSet<QString>{"B", "C", "B.EVIL.LOCAL"}));
        // Check B and C and press 送信.
        QVERIFY(checkAndSend({listed.indexOf("B"), listed.indexOf("C")}));
        for (const Computer& receiver : {b, c}) {
            QTRY_COMPARE_WITH_TIMEOUT(savedNotes(receiver.dir).size(), 1, kSettle);
            const NoteRecord got = savedNotes(receiver.dir).first();
            QCOMPARE(got.width, 3000);
            QCOMPARE(got.height, 1500);
            QCOMPARE(got.backColor, NoteColor::Green);
            QVERIFY(got.textRtf.contains("from A"));
            // Shown in the middle of the screen.
            QTRY_VERIFY_WITH_TIMEOUT(!windowsOf(receiver.pid).isEmpty(), kSettle);
            bool centred = false;
            for (const QString& id : windowsOf(receiver.pid))
                centred = centred || (X11Windows::geometry(id).size() == QSize(200, 100) &&
                                      (X11Windows::geometry(id).center() - QPoint(640, 400)).manhattanLength() <= 4);
            QVERIFY(centred);
        }
        QTRY_VERIFY_WITH_TIMEOUT(dialogsOf(a.pid).isEmpty(), kSettle); // the send window closed
        QVERIFY(!a.log().contains("to 10.199.0.4"));

        // D floods B with notes, 1000 a second; a note A sends during it arrives all the same.
        const qint64 flood = startFlood("d", "10.199.0.2", 2000);
        QTRY_VERIFY_WITH_TIMEOUT(b.log().contains("dropped a note from \"10.199.0.4\""), kSettle); // under way
        QVERIFY(openSendWindow(a));
        QVERIFY(checkAndSend({lastListed(a).indexOf("B")}));
        auto fromA = [&b] {
            int n = 0;
            for (const NoteRecord& r : savedNotes(b.dir))
                n += r.textRtf.contains("from A");
            return n;
        };
        QTRY_COMPARE_WITH_TIMEOUT(fromA(), 2, kSettle);
        ::kill(pid_t(flood), SIGTERM);
        QVERIFY(b.log().contains("dropped a note from \"10.199.0.4\""));
        QVERIFY(savedNotes(b.dir).size() <= 2 + 10);
        // C knows itself by the name Avahi gives it, although its host name has dots.
        QVERIFY(c.log().contains("found C (c.local) at 10.199.0.3, this computer"));
        QVERIFY(!c.log().section("computers:", -1).section('\n', 0, 0).contains("\"C\""));

        // B's copy stops while A's window still lists it: A hears that the note did not arrive.
        QVERIFY(openSendWindow(a));
        const qsizetype b_ = lastListed(a).indexOf("B");
        QVERIFY(b_ >= 0);
        stop(b);
        QVERIFY(checkAndSend({b_}));
        QTRY_VERIFY_WITH_TIMEOUT(a.log().contains("a datagram was not delivered"), kSettle);
        QTRY_VERIFY_WITH_TIMEOUT(!dialogsOf(a.pid).isEmpty(), kSettle); // the message
        QVERIFY(xdotool({"windowactivate", "--sync", dialogsOf(a.pid).first(), "key", "Return"}));
        QTRY_VERIFY_WITH_TIMEOUT(dialogsOf(a.pid).isEmpty(), kSettle);

        // B starts again at another address and on another port: A sends to the new
        // address, but only C receives.
        QCOMPARE(QProcess::execute(kLab, {"move", m_labName, "b", "22"}), 0);
        const qsizetype bNotes = savedNotes(b.dir).size();
        QVERIFY(writeBytes(b.dir + "/Pinora.ini", QStringLiteral("[ピノラ]\nポート番号=2100\n").toUtf8()));
        b = start("b");
        QTRY_VERIFY_WITH_TIMEOUT(b.log().contains("bound to port 2100"), kSettle);
        QTRY_VERIFY_WITH_TIMEOUT(a.log().contains("found B (b.local) at 10.199.0.22"), 30000);
        QVERIFY(openSendWindow(a));
        const QStringList again = lastListed(a);
        QCOMPARE(again.size(), 3);
        QVERIFY(checkAndSend({again.indexOf("B"), again.indexOf("C")}));
        QTRY_VERIFY_WITH_TIMEOUT(a.log().contains("to QHostAddress(\"10.199.0.22\")"), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(savedNotes(c.dir).size(), 2, kSettle);
        QTRY_VERIFY_WITH_TIMEOUT(!dialogsOf(a.pid).isEmpty(), kSettle);
        QCOMPARE(savedNotes(b.dir).size(), bNotes);
        for (Computer* computer : {&a, &b, &c})
            stop(*computer);
    }

private:
    // Sends note datagrams from that computer to an address and port, 1000 a second,
    // in the background; its pid.
    qint64 startFlood(const QString& from, const QString& to, quint16 port) {
        const QString datagram = m_scratch.filePath("flood.bin");
        writeBytes(datagram, DatagramSocket::toWire(BuildTransferMessage(3000, 1500, NoteColor::Purple,
                                                                         QStringLiteral("{\\rtf1 flood\\par}"))));
        const QString script = QStringLiteral("import socket,sys,time\n"
                                              "d=open(sys.argv[1],'rb').read()\n"
                                              "s=socket.socket(socket.AF_INET,socket.SOCK_DGRAM)\n"
                                              "while True:\n"
                                              "    s.sendto(d,(sys.argv[2],int(sys.argv[3])))\n"
                                              "    time.sleep(0.001)\n");
        return output(kLab, {"run", m_labName, from, m_scratch.filePath("flood.log"), "python3", "-c", script, datagram,
                             to, QString::number(port)})
            .toLongLong();
    }
    Computer start(const QString& name, const QByteArray& notes = {}) {
        Computer computer{name.toUpper(), m_scratch.filePath(name)};
        QDir().mkpath(computer.dir);
        const QString exe = computer.dir + "/Pinora";
        if (!QFile::exists(exe))
            QFile::copy(QStringLiteral(PINORA_EXECUTABLE), exe);
        if (!notes.isEmpty())
            writeBytes(computer.dir + "/Pinora.dat", notes);
        const QString pid = output(kLab, {"run", m_labName, name, computer.dir + "/stderr.log", "env",
                                          "XAUTHORITY=" + m_xauthority, "QT_LOGGING_RULES=pinora.net*=true", exe});
        computer.pid = pid.toLongLong();
        m_started << computer.pid;
        return computer;
    }
    static void stop(Computer& computer) {
        ::kill(pid_t(computer.pid), SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(pid_t(computer.pid), 0) != 0, kSettle);
    }
    // The note's menu, its last item 送信, and the send window active.
    bool openSendWindow(const Computer& computer) {
        const int listings = computer.log().count("computers listed:");
        if (!xdotool({"mousemove", "150", "100", "sleep", "0.3", "click", "3", "sleep", "0.5", "key", "Up", "key",
                      "Return"}))
            return false;
        return QTest::qWaitFor([&] { return computer.log().count("computers listed:") > listings; }, 10000) &&
               QTest::qWaitFor([&] { return !dialogsOf(computer.pid).isEmpty(); }, 5000);
    }
    // In the open send window: checks the listed computers at those rows and presses 送信.
    static bool checkAndSend(QList<qsizetype> rows) {
        std::sort(rows.begin(), rows.end());
        if (rows.isEmpty() || rows.first() < 0)
            return false;
        QStringList keys{"key", "--delay", "150", "Home"};
        qsizetype at = 0;
        for (const qsizetype row : rows) {
            for (; at < row; ++at)
                keys << "Down";
            keys << "space";
        }
        return xdotool(keys << "Tab"
                            << "Tab"
                            << "space");
    }
    static QStringList lastListed(const Computer& computer) {
        const QString log = computer.log();
        const QString line = log.mid(log.lastIndexOf("computers listed:")).section('\n', 0, 0);
        return line.section(':', 1).remove('"').trimmed().split(',', Qt::SkipEmptyParts);
    }

    WindowManager m_windowManager;
    QTemporaryDir m_scratch;
    QString m_xauthority;
    QString m_labName;
    bool m_labUp = false;
    QList<qint64> m_started;
};

QTEST_GUILESS_MAIN(TestNetworkE2E)
#include "TestNetworkE2E.moc"

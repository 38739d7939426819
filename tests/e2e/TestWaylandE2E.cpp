// GNOME's compositor on Wayland (mutter, headless, with a virtual monitor): the
// program goes to XWayland by itself, a note comes back where it was saved, and
// the status window stands in for the tray GNOME does not have.
#include "store/NoteFile.h"

#include "FileBytes.h"

#include <QDir>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestWaylandE2E : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;
    QProcess m_mutter;
    QString m_log;
    QProcessEnvironment m_session;

    QString x11(const QStringList& command) {
        QProcess p;
        p.setProcessEnvironment(m_session);
        p.start(command.first(), command.mid(1));
        p.waitForFinished(10000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    // Pinora's windows on the X display, as the X server has them.
    QList<QRect> pinoraWindows() {
        QList<QRect> rects;
        for (const QString& id :
             x11({"xdotool", "search", "--onlyvisible", "--class", "Pinora"}).split('\n', Qt::SkipEmptyParts)) {
            QRect r;
            for (const QString& line : x11({"xwininfo", "-id", id}).split('\n')) {
                const int value = line.section(':', 1).trimmed().toInt();
                if (line.contains("Absolute upper-left X:"))
                    r.moveLeft(value);
                else if (line.contains("Absolute upper-left Y:"))
                    r.moveTop(value);
                else if (line.trimmed().startsWith("Width:"))
                    r.setWidth(value);
                else if (line.trimmed().startsWith("Height:"))
                    r.setHeight(value);
            }
            rects << r;
        }
        return rects;
    }

private slots:
    void initTestCase() {
        for (const char* tool : {"mutter", "Xwayland", "dbus-run-session", "xdotool"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QStringLiteral("needs %1 (mutter, xwayland, dbus, xdotool)").arg(tool)));
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        m_mutter.setProcessEnvironment(env);
        m_mutter.setProcessChannelMode(QProcess::MergedChannels);
        connect(&m_mutter, &QProcess::readyRead, this, [this] { m_log += QString::fromUtf8(m_mutter.readAll()); });
        m_mutter.start("dbus-run-session",
                       {"--", "mutter", "--headless", "--wayland", "--virtual-monitor", "1600x900"});
        // mutter says which X display its XWayland serves, and keeps the cookie in
        // its runtime directory.
        const QRegularExpression display("Using public X11 display (:\\d+)");
        QTRY_VERIFY_WITH_TIMEOUT(display.match(m_log).hasMatch(), 20000);
        const QStringList cookies =
            QDir(m_runtime.path()).entryList({".mutter-Xwaylandauth.*"}, QDir::Hidden | QDir::Files);
        QVERIFY2(!cookies.isEmpty(), qPrintable(m_log));
        m_session = env;
        m_session.insert("DISPLAY", display.match(m_log).captured(1));
        m_session.insert("XAUTHORITY", m_runtime.filePath(cookies.first()));
        m_session.insert("WAYLAND_DISPLAY", "wayland-0");
        m_session.insert("XDG_SESSION_TYPE", "wayland");
    }
    void cleanupTestCase() {
        if (m_mutter.state() != QProcess::NotRunning) {
            m_mutter.terminate();
            if (!m_mutter.waitForFinished(5000))
                m_mutter.kill();
        }
    }

    void aSavedNoteComesBackOnXWayland() {
        QTemporaryDir dir;
        QVERIFY(QFile::copy(QStringLiteral(PINORA_EXECUTABLE), dir.filePath("Pinora")));
        NoteRecord r;
        r.Index = 1;
        r.Left = 1200;
        r.Top = 900;
        r.Width = 3000;
        r.Height = 1500;
        r.BackColor = 0x0098FFFF;
        r.TextRTF = "{\\rtf1 on Wayland}";
        r.CreatedAt = "26/12/07 09:00:00";
        r.VisibleFlag = "T";
        r.PlaceOnShowFlag = "F";
        QVERIFY(writeBytes(dir.filePath("Pinora.dat"), NoteFile::encode(1, {r, {}})));

        QProcess pinora;
        pinora.setProcessEnvironment(m_session); // no platform chosen: the program picks XWayland
        pinora.setProcessChannelMode(QProcess::ForwardedChannels);
        pinora.start(dir.filePath("Pinora"));
        QVERIFY(pinora.waitForStarted());
        // The note where it was saved, and a small status window for the missing tray.
        QTRY_VERIFY_WITH_TIMEOUT(pinoraWindows().contains(QRect(80, 60, 200, 100)), 20000);
        const auto statusWindowShown = [this] {
            const QList<QRect> windows = pinoraWindows();
            return std::any_of(windows.cbegin(), windows.cend(),
                               [](const QRect& w) { return w.width() > 4 && w.width() <= 60 && w.height() <= 60; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(statusWindowShown(), 10000);
        ::kill(pinora.processId(), SIGTERM);
        QVERIFY(pinora.waitForFinished(10000));
        QCOMPARE(pinora.exitCode(), 0);
        QVERIFY(readBytes(dir.filePath("Pinora.ini")).contains("開始モード=0"));
    }
};

QTEST_GUILESS_MAIN(TestWaylandE2E)
#include "TestWaylandE2E.moc"

#include "app/PlatformChoice.h"

#include <QTest>

class TestPlatformChoice : public QObject {
    Q_OBJECT

private slots:
    void platform_data() {
        QTest::addColumn<QStringList>("variables");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("X11 session") << QStringList{"XDG_SESSION_TYPE=x11", "DISPLAY=:0"} << QByteArray();
        QTest::newRow("Wayland session with XWayland")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0", "DISPLAY=:0"} << QByteArray("xcb");
        QTest::newRow("Wayland display without a session type")
            << QStringList{"WAYLAND_DISPLAY=wayland-0", "DISPLAY=:1"} << QByteArray("xcb");
        QTest::newRow("Wayland without XWayland: nothing better to ask for")
            << QStringList{"XDG_SESSION_TYPE=wayland", "WAYLAND_DISPLAY=wayland-0"} << QByteArray();
        QTest::newRow("the user's own choice stands")
            << QStringList{"XDG_SESSION_TYPE=wayland", "DISPLAY=:0", "QT_QPA_PLATFORM=wayland"} << QByteArray();
    }
    void platform() {
        QFETCH(QStringList, variables);
        QFETCH(QByteArray, expected);
        QProcessEnvironment environment;
        for (const QString& v : variables)
            environment.insert(v.section('=', 0, 0), v.section('=', 1));
        QCOMPARE(PreferredPlatform(environment), expected);
    }
};

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "TestPlatformChoice.moc"

#include "platform/InputMethod.h"

#include "FakeFcitx5Controller.h"
#include "PrivateSessionBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString describe(std::optional<bool> status) {
    if (!status)
        return QStringLiteral("unknown");
    return *status ? QStringLiteral("open") : QStringLiteral("closed");
}

QString busId(const QDBusConnection& bus) {
    const QDBusMessage reply = bus.call(
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    return reply.arguments().value(0).toString();
}

} // namespace

// Everything runs against a dbus-daemon of the test's own, never the user's session.
class TestInputMethod : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateSessionBus> m_bus;
    std::unique_ptr<FakeFcitx5Controller> m_fcitx;

    std::unique_ptr<InputMethod> fcitxAt(int state) {
        m_fcitx->setState(state);
        if (!m_fcitx->publish())
            return nullptr;
        return InputMethod::create();
    }

private slots:
    void initTestCase() {
        m_bus = std::make_unique<PrivateSessionBus>();
        QVERIFY2(m_bus->isRunning(), qPrintable(m_bus->error()));
        m_bus->makeSessionBus();
        QVERIFY(QDBusConnection::sessionBus().isConnected());
        const QDBusConnection direct = QDBusConnection::connectToBus(m_bus->address(), QStringLiteral("check"));
        QVERIFY(!busId(direct).isEmpty());
        QCOMPARE(busId(QDBusConnection::sessionBus()), busId(direct));
        QDBusConnection::disconnectFromBus(QStringLiteral("check"));
    }
    void cleanupTestCase() { m_bus.reset(); }

    void init() { m_fcitx = std::make_unique<FakeFcitx5Controller>(m_bus->address()); }
    void cleanup() { m_fcitx.reset(); }

    // --- choosing the input method ---

    void createWithoutFcitx5GivesNoInputMethod() {
        const auto im = InputMethod::create();
        QVERIFY(dynamic_cast<NoInputMethod*>(im.get()));
        QVERIFY(!im->available());
        QCOMPARE(describe(im->openStatus()), QStringLiteral("unknown"));
    }

    void createWithFcitx5GivesFcitx5() {
        QVERIFY(m_fcitx->publish());
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.fcitx.Fcitx5")));
        const auto im = InputMethod::create();
        QVERIFY(dynamic_cast<Fcitx5InputMethod*>(im.get()));
        QVERIFY(im->available());
    }

    void createWithoutABusGivesNoInputMethod() {
        QVERIFY(m_fcitx->publish());
        const QDBusConnection none(QStringLiteral("no such connection"));
        QVERIFY(!none.isConnected());
        const auto im = InputMethod::create(none);
        QVERIFY(dynamic_cast<NoInputMethod*>(im.get()));
    }

    // --- reading the open status ---

    void openStatusFollowsState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("status");
        QTest::newRow("closed") << 0 << QStringLiteral("closed");
        QTest::newRow("inactive") << 1 << QStringLiteral("closed");
        QTest::newRow("active") << 2 << QStringLiteral("open");
        QTest::newRow("unknown state") << 7 << QStringLiteral("unknown");
        QTest::newRow("negative state") << -1 << QStringLiteral("unknown");
    }
    void openStatusFollowsState() {
        QFETCH(int, state);
        QFETCH(QString, status);
        const auto im = fcitxAt(state);
        QVERIFY(im);
        QCOMPARE(describe(im->openStatus()), status);
        QCOMPARE(m_fcitx->calls(), QStringList{QStringLiteral("State")});
    }

    void openStatusAsksEveryTime() {
        const auto im = fcitxAt(1);
        QVERIFY(im);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("closed"));
        m_fcitx->setState(2); // switched on by the user, behind the program's back
        QCOMPARE(describe(im->openStatus()), QStringLiteral("open"));
        m_fcitx->setState(1);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("closed"));
    }

    // --- switching ---

    void setOpenStatusActivatesOrDeactivates_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("status");
        QTest::newRow("open when inactive") << 1 << true << QStringLiteral("Activate") << QStringLiteral("open");
        QTest::newRow("open when active") << 2 << true << QStringLiteral("Activate") << QStringLiteral("open");
        QTest::newRow("close when active") << 2 << false << QStringLiteral("Deactivate") << QStringLiteral("closed");
        QTest::newRow("close when inactive") << 1 << false << QStringLiteral("Deactivate") << QStringLiteral("closed");
    }
    void setOpenStatusActivatesOrDeactivates() {
        QFETCH(int, state);
        QFETCH(bool, open);
        QFETCH(QString, call);
        QFETCH(QString, status);
        const auto im = fcitxAt(state);
        QVERIFY(im);
        im->setOpenStatus(open);
        QCOMPARE(m_fcitx->calls(), QStringList{call});
        QCOMPARE(describe(im->openStatus()), status);
    }

    // --- fcitx5 failing ---

    void fcitx5LeavingReadsAsNoInputMethod() {
        const auto im = fcitxAt(2);
        QVERIFY(im);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("open"));
        m_fcitx->withdraw();
        m_fcitx->clearCalls();
        QVERIFY(!im->available());
        QCOMPARE(describe(im->openStatus()), QStringLiteral("unknown"));
        im->setOpenStatus(false);
        im->setOpenStatus(true);
        QVERIFY(m_fcitx->calls().isEmpty());
        QCOMPARE(m_fcitx->state(), 2);
    }

    void fcitx5ComingBackIsUsedAgain() {
        const auto im = fcitxAt(1);
        QVERIFY(im);
        m_fcitx->withdraw();
        QCOMPARE(describe(im->openStatus()), QStringLiteral("unknown"));
        QVERIFY(m_fcitx->publish());
        QVERIFY(im->available());
        im->setOpenStatus(true);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("open"));
    }

    void silentFcitx5ReadsAsUnknown() {
        const auto im = fcitxAt(2);
        QVERIFY(im);
        m_fcitx->setSilent(true);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("unknown")); // after the short timeout
        im->setOpenStatus(false);
        QCOMPARE(m_fcitx->calls(), (QStringList{QStringLiteral("State"), QStringLiteral("Deactivate")}));
        m_fcitx->setSilent(false);
        QCOMPARE(describe(im->openStatus()), QStringLiteral("open"));
    }

    void absentFcitx5IsNeverStarted() {
        // A bus that could start "fcitx5" on demand; starting it leaves a mark.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("services")));
        const QString mark = dir.filePath(QStringLiteral("started"));
        QFile service(dir.filePath(QStringLiteral("services/org.fcitx.Fcitx5.service")));
        QVERIFY(service.open(QIODevice::WriteOnly));
        service.write("[D-BUS Service]\nName=org.fcitx.Fcitx5\nExec=/usr/bin/touch " + QFile::encodeName(mark) + "\n");
        service.close();
        PrivateSessionBus activating(dir.filePath(QStringLiteral("services")));
        QVERIFY2(activating.isRunning(), qPrintable(activating.error()));
        const QDBusConnection bus = QDBusConnection::connectToBus(activating.address(), QStringLiteral("activating"));
        QVERIFY(bus.isConnected());

        Fcitx5InputMethod im(bus);
        QVERIFY(!im.available());
        QCOMPARE(describe(im.openStatus()), QStringLiteral("unknown"));
        im.setOpenStatus(true);
        QVERIFY(!QFile::exists(mark));
        QDBusConnection::disconnectFromBus(QStringLiteral("activating"));
    }
};

QTEST_GUILESS_MAIN(TestInputMethod)
#include "TestInputMethod.moc"

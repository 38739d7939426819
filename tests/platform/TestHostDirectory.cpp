// The computer list's rules: which hosts are listed under which name, and where a
// note to a listed name goes.
#include "platform/HostDirectory.h"

#include <QtTest>

class TestHostDirectory : public QObject {
    Q_OBJECT

private slots:
    void listsHostsAsFound_data() {
        // Events: "+instance host address" (own: "+instance host address own"), "-instance".
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QString>("asked");      // a listed name
        QTest::addColumn<QStringList>("sendTo"); // its addresses, in order

        QTest::newRow("one host on two protocols, IPv4 first")
            << QStringList{"+b6 bravo.local fe80::1", "+b4 Bravo.local. 10.0.0.2"} << QStringList{"BRAVO"} << "BRAVO"
            << QStringList{"10.0.0.2", "fe80::1"};
        QTest::newRow("a host sharing the first label is listed beside it, by its whole name")
            << QStringList{"+b bravo.local 10.0.0.2", "+x bravo.evil.local 10.0.0.9"}
            << QStringList{"BRAVO", "BRAVO.EVIL.LOCAL"} << "BRAVO" << QStringList{"10.0.0.2"};
        QTest::newRow("...also when it comes first")
            << QStringList{"+x bravo.evil.local 10.0.0.9", "+b bravo.local 10.0.0.2"}
            << QStringList{"BRAVO.EVIL.LOCAL", "BRAVO"} << "BRAVO" << QStringList{"10.0.0.2"};
        QTest::newRow("a new address replaces the old one")
            << QStringList{"+c charlie.local 10.0.0.3", "+c charlie.local 10.0.0.33"} << QStringList{"CHARLIE"}
            << "CHARLIE" << QStringList{"10.0.0.33"};
        QTest::newRow("gone and back at a new address")
            << QStringList{"+c charlie.local 10.0.0.3", "-c", "+c charlie.local 10.0.0.33"} << QStringList{"CHARLIE"}
            << "CHARLIE" << QStringList{"10.0.0.33"};
        QTest::newRow("gone: not listed, its last address kept for a window still showing it")
            << QStringList{"+c charlie.local 10.0.0.3", "+d delta.local 10.0.0.4", "-c"} << QStringList{"DELTA"}
            << "CHARLIE" << QStringList{"10.0.0.3"};
        QTest::newRow("one instance of two gone: still listed at the other")
            << QStringList{"+c4 charlie.local 10.0.0.3", "+c6 charlie.local fe80::3", "-c4"} << QStringList{"CHARLIE"}
            << "CHARLIE" << QStringList{"fe80::3"};
        QTest::newRow("this computer, whatever its name, is not listed")
            << QStringList{"+o charlie.example.org 10.0.0.3 own", "+b bravo.local 10.0.0.2"} << QStringList{"BRAVO"}
            << "BRAVO" << QStringList{"10.0.0.2"};
        QTest::newRow("an unknown instance going changes nothing")
            << QStringList{"+b bravo.local 10.0.0.2", "-zz"} << QStringList{"BRAVO"} << "BRAVO"
            << QStringList{"10.0.0.2"};
    }
    void listsHostsAsFound() {
        QFETCH(QStringList, events);
        QFETCH(QStringList, listed);
        QFETCH(QString, asked);
        QFETCH(QStringList, sendTo);
        HostDirectory directory;
        for (const QString& event : events) {
            const QStringList words = event.mid(1).split(' ');
            const QStringList before = directory.names();
            const bool changed =
                event.startsWith('+')
                    ? directory.found(words.at(0), words.at(1), QHostAddress(words.at(2)), words.value(3) == "own")
                    : directory.lost(words.at(0));
            QCOMPARE(changed, directory.names() != before); // told exactly when the list changes
        }
        QCOMPARE(directory.names(), listed);
        QStringList addresses;
        for (const QHostAddress& address : directory.addressesOf(asked))
            addresses << address.toString();
        QCOMPARE(addresses, sendTo);
    }
};

QTEST_GUILESS_MAIN(TestHostDirectory)
#include "TestHostDirectory.moc"

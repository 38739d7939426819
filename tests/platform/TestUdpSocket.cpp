// The real socket on the loopback interfaces: datagrams as code page 932 bytes, and
// a datagram that found nobody listening reported as a one-byte arrival.
#include "platform/UdpSocket.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>

class TestUdpSocket : public QObject {
    Q_OBJECT

    // A port on which nothing listens: bound once, then let go.
    static quint16 closedPort() {
        UdpSocket probe;
        probe.bind(0);
        return probe.localPort();
    }

private slots:
    void datagramsComeAsTextAndUnreadOnesAreDropped_data() {
        QTest::addColumn<QString>("host");
        QTest::newRow("IPv4") << QStringLiteral("127.0.0.1");
        QTest::newRow("IPv6") << QStringLiteral("::1");
        QTest::newRow("a name the resolver knows") << QStringLiteral("LOOPBACK");
    }
    void datagramsComeAsTextAndUnreadOnesAreDropped() {
        QFETCH(QString, host);
        UdpSocket socket([](const QString& name) {
            return name == QLatin1String("LOOPBACK") ? QList<QHostAddress>{QHostAddress::LocalHost}
                                                     : QList<QHostAddress>{};
        });
        QVERIFY(socket.bind(0));
        socket.setRemotePort(socket.localPort());
        socket.setRemoteHost(host);

        QStringList received;
        QList<qint64> counts;
        QStringList senders;
        connect(&socket, &DatagramSocket::datagramArrived, this, [&](qint64 count) {
            counts << count;
            senders << socket.senderAddress();
            if (count != 1) // the one-byte one is left unread
                received << socket.receive();
        });
        const QString japanese = QStringLiteral("付箋紙:ﾋﾟﾉﾗ");
        QCOMPARE(socket.send(QStringLiteral("x")), DatagramSocket::SendResult::Sent);
        QCOMPARE(socket.send(japanese), DatagramSocket::SendResult::Sent);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.first(), japanese);
        QCOMPARE(counts, (QList<qint64>{1, DatagramSocket::toWire(japanese).size()}));
        // The sender as it is, an IPv4 one not mapped into IPv6.
        const QString sender = host == "::1" ? "::1" : "127.0.0.1";
        QCOMPARE(senders, (QStringList{sender, sender}));
        QCOMPARE(DatagramSocket::toWire(japanese).size(), 3 * 2 + 1 + 4); // two bytes a kanji, one a half-width kana
    }

    void undeliveredDatagramsAreReportedAsOneByte() {
        UdpSocket socket;
        QVERIFY(socket.bind(0));
        QSignalSpy arrivals(&socket, &DatagramSocket::datagramArrived);
        socket.setRemotePort(closedPort());
        for (const QString host : {"127.0.0.1", "::1", "127.0.0.1"}) {
            socket.setRemoteHost(host);
            // The error of the one before can fail this send once; it still leaves.
            QCOMPARE(socket.send(QStringLiteral("PINOR:")), DatagramSocket::SendResult::Sent);
        }
        QTRY_COMPARE(arrivals.size(), 3);
        // One the system will not send at all (to port 0) is refused at once and
        // reported the same way, from the event loop.
        socket.setRemoteHost(QStringLiteral("127.0.0.1"));
        socket.setRemotePort(0);
        QCOMPARE(socket.send(QStringLiteral("PINOR:")), DatagramSocket::SendResult::Refused);
        QCOMPARE(arrivals.size(), 3);
        QTRY_COMPARE(arrivals.size(), 4);
        for (const QList<QVariant>& arrival : arrivals)
            QCOMPARE(arrival.first().toLongLong(), 1);
        QTest::qWait(100);
        QCOMPARE(arrivals.size(), 4);
    }

    void aNameThatDoesNotResolveIsReportedLater() {
        UdpSocket socket;
        QVERIFY(socket.bind(0));
        QSignalSpy arrivals(&socket, &DatagramSocket::datagramArrived);
        socket.setRemotePort(socket.localPort());
        socket.setRemoteHost(QStringLiteral("no-such-host.invalid"));
        QCOMPARE(socket.send(QStringLiteral("x")), DatagramSocket::SendResult::Resolving);
        QVERIFY(arrivals.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(arrivals.size(), 1, 15000);
        QCOMPARE(arrivals.first().first().toLongLong(), 1);
    }

    void aPortInUseAndAClosedSocket() {
        UdpSocket first;
        QVERIFY(first.bind(0));
        UdpSocket second;
        QVERIFY(!second.bind(first.localPort()));
        QVERIFY(second.errorString().contains("bind"));
        QVERIFY(!second.isBound());
        second.setRemoteHost(QStringLiteral("127.0.0.1"));
        QCOMPARE(second.send(QStringLiteral("x")), DatagramSocket::SendResult::NotBound);

        // Closed, the port is free again and nothing arrives any more.
        QSignalSpy arrivals(&first, &DatagramSocket::datagramArrived);
        const quint16 port = first.localPort();
        first.close();
        QUdpSocket other;
        QVERIFY(other.bind(QHostAddress::LocalHost, port));
        other.writeDatagram("hello", QHostAddress::LocalHost, port);
        QTest::qWait(100);
        QVERIFY(arrivals.isEmpty());
    }

    void aFloodLeavesTheEventLoopRunning() {
        UdpSocket socket;
        QVERIFY(socket.bind(0));
        int received = 0;
        connect(&socket, &DatagramSocket::datagramArrived, this, [&] { received += !socket.receive().isEmpty(); });
        QUdpSocket sender;
        for (int i = 0; i < 200; ++i)
            sender.writeDatagram(QByteArray(100, 'a'), QHostAddress::LocalHost, socket.localPort());
        // A timer due now fires before all of them are read.
        int atTimer = -1;
        QTimer::singleShot(0, this, [&] { atTimer = received; });
        QTRY_COMPARE(received, 200);
        QVERIFY(atTimer >= 0 && atTimer < 200);
    }
};

QTEST_GUILESS_MAIN(TestUdpSocket)
#include "TestUdpSocket.moc"

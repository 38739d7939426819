// The message that carries a note, byte for byte; the send window, the port window
// and what arrives on the socket, on real widgets with a socket and a network that
// exist only in the test.
#include "net/NetworkSettingsWindow.h"
#include "net/NoteReceiver.h"
#include "net/SendWindow.h"
#include "net/TransferMessage.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteWindow.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/NoteFile.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "MemorySocket.h"
#include "ScratchAppState.h"
#include "TopLevels.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

namespace {

const QByteArray kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 hello\\par}";

QByteArray noteDatagram() {
    return DatagramSocket::toWire(BuildTransferMessage(3000, 1500, NoteColor::Blue, QString::fromLatin1(kRtf)));
}

} // namespace

class TestSendAndReceive : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_state = std::make_unique<ScratchAppState>();
        m_state->noteWindows.resize(2);
        BuildPlaceholder(*m_state);
        m_socket.sent.clear();
        m_socket.unreadDropped = 0;
        m_socket.bound = true;
        m_socket.setRemotePort(2000);
        m_messages.clear();
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; });
    }
    void cleanup() {
        qDeleteAll(topLevels<QMessageBox>());
        m_state.reset();
    }

    void layoutByteForByte() {
        const QString rtf(250, QLatin1Char('x'));
        const QString message = BuildTransferMessage(2400, 1800, NoteColor::Yellow, rtf);
        QCOMPARE(message, "PINOR:FORMSEND:00000002400:00000001800:10027007:00000000250:" + rtf + ":");
        // Fields keep their widths whatever a note holds.
        QCOMPARE(BuildTransferMessage(-5, 0, -1, QString()).left(60),
                 QStringLiteral("PINOR:FORMSEND:00000000000:00000000000:16777215:00000000000:"));
        // From a note as it is now: its window size and its text box.
        NoteWindow* note = sendableNote();
        note->resize(Twips::toPixelsX(3000), Twips::toPixelsY(1500));
        const std::optional<ReceivedFields> back = ParseTransferMessage(BuildTransferMessage(*note));
        QVERIFY(back && back->isNote());
        QCOMPARE(std::tuple(back->width, back->height, back->colour), std::tuple(3000, 1500, NoteColor::Yellow));
        QCOMPARE(back->body, QString::fromLatin1(note->textBox()->textRTF()) + QLatin1Char(':'));
        QCOMPARE(back->length, back->body.size() - 1);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<bool>("note");
        const QString good = BuildTransferMessage(2400, 1800, NoteColor::Blue, QString::fromLatin1(kRtf));
        QTest::newRow("a sent note") << good << true << true;
        QTest::newRow("length field disagreeing with the body")
            << QString(good).replace(49, 11, "00000000003") << true << true;
        QTest::newRow("separators not checked") << QString(good).replace(5, 1, "#") << true << true;
        QTest::newRow("fifth letter of the signature") << QString(good).replace(4, 1, "X") << true << false;
        QTest::newRow("header only") << good.left(60) << true << true;
        QTest::newRow("59 characters") << good.left(59) << false << false;
        QTest::newRow("letters in the width") << QString(good).replace(15, 11, "0000000abcd") << false << false;
        QTest::newRow("height past 32 bits") << QString(good).replace(27, 11, "99999999999") << false << false;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, parsed);
        const std::optional<ReceivedFields> fields = ParseTransferMessage(text);
        QCOMPARE(bool(fields), parsed);
        if (fields) {
            QTEST(fields->isNote(), "note");
            QCOMPARE(fields->body, text.mid(60)); // to the end, trailing ":" included
        }
    }

    // A received note takes the next slot, the sender's text, colour and size, is
    // centred and saved; a message that is not a note changes nothing; a size no
    // screen here could show comes within the largest one, with room to take it by
    // its edge; a note from the network says where it came from.
    void receivedNote() {
        m_state->loading = false;
        const std::optional<ReceivedFields> fields =
            ParseTransferMessage(BuildTransferMessage(4500, 3000, NoteColor::Purple, QString::fromLatin1(kRtf)));
        NoteWindow* first = CreateReceivedNote(*m_state, *fields);
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->tag().size(), 32);
        QCOMPARE(Tag::NoteIdOf(first->tag()), 1);
        QCOMPARE(first->textBox()->text(), QStringLiteral("hello"));
        QCOMPARE(first->textBox()->backColor(), NoteColor::Purple);
        QCOMPARE(first->size(), QSize(Twips::toPixelsX(4500), Twips::toPixelsY(3000))); // not fitted to the text
        QVERIFY(qAbs(first->geometry().center().x() - first->screen()->geometry().center().x()) <= 1);
        QCOMPARE(NoteFile::decode(readBytes(m_state->dataFilePath()))->count, 1);

        ReceivedFields other = *fields;
        other.command = QStringLiteral("FORMSENT");
        QVERIFY(!CreateReceivedNote(*m_state, other));
        QCOMPARE(m_state->noteCount, 1);

        ReceivedFields huge = *fields;
        huge.width = huge.height = 2000000000;
        NoteWindow* second = CreateReceivedNote(*m_state, huge, QStringLiteral("BRAVO（10.0.0.2）"));
        const QRect room = first->screen()->availableGeometry();
        QVERIFY(second->width() <= room.width() - 96 && second->height() <= room.height() - 96);
        QVERIFY(second->origin().startsWith(QStringLiteral("送信元: BRAVO（10.0.0.2）\n受信: ")));
        QVERIFY(first->origin().isEmpty());
    }

    // The list: computers in the order found, never this one, all unchecked, and
    // built again when the window comes back from another window of the program. An
    // empty list says why, here and in the network settings.
    void theListAndItsActivation() {
        const QString own = QSysInfo::machineHostName().toUpper();
        m_browser.names = {"BETA", own, own.toLower() + "x", "ALPHA"};
        auto* form = new SendWindow(*m_state, m_socket, m_browser);
        QSignalSpy destroyed(form, &QObject::destroyed);
        form->show();
        form->activateWindow();
        QTRY_COMPARE(listed(form), (QStringList{"BETA", own.toLower() + "x", "ALPHA"}));
        QVERIFY(!form->noBrowserNotice()->isVisible());

        form->list()->item(0)->setCheckState(Qt::Checked);
        m_browser.names.append("GAMMA");
        NoteWindow* note = sendableNote();
        note->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == note);
        QCOMPARE(form->list()->count(), 3); // nothing changes while it is not active
        form->activateWindow();
        QTRY_COMPARE(listed(form), (QStringList{"BETA", own.toLower() + "x", "ALPHA", "GAMMA"})); // none checked

        // 最新情報に更新 twice: the same list, no item twice.
        form->list()->item(1)->setCheckState(Qt::Checked);
        QTest::mouseClick(form->refreshButton(), Qt::LeftButton);
        QTest::mouseClick(form->refreshButton(), Qt::LeftButton);
        QCOMPARE(listed(form), (QStringList{"BETA", own.toLower() + "x", "ALPHA", "GAMMA"}));
        form->close();
        QTRY_COMPARE(destroyed.size(), 1);

        // The network settings' list of senders says why it is empty: nobody found yet,
        // or no browse service.
        m_browser.names.clear();
        NetworkSettingsWindow settings(*m_state, m_socket, &m_browser);
        const auto emptyBecause = [&settings] {
            settings.showWithPortNumber();
            return settings.emptyListNotice()->isVisible() ? settings.emptyListNotice()->text() : QString();
        };
        QVERIFY(emptyBecause().contains(QStringLiteral("見つかっていません")));

        // Without a browse service the window says why, and there is nothing to check.
        m_browser.running = false;
        QVERIFY(emptyBecause().contains(QStringLiteral("Avahi")));
        SendWindow lonely(*m_state, m_socket, m_browser);
        lonely.show();
        lonely.refreshComputerList();
        QCOMPARE(lonely.list()->count(), 0);
        QVERIFY(lonely.noBrowserNotice()->isVisible() && lonely.noBrowserNotice()->text().contains("Avahi"));
        QTRY_VERIFY(lonely.noBrowserNotice()->height() >=
                    lonely.noBrowserNotice()->heightForWidth(lonely.noBrowserNotice()->width()));
        QVERIFY(lonely.noBrowserNotice()->width() > lonely.list()->viewport()->width() / 2);
        m_browser.running = true;
    }

    // 送信: one fresh message per checked computer, in list order, then the window
    // closes; in every other case nothing is sent and it closes all the same.
    void sending_data() {
        QTest::addColumn<QList<int>>("checked");
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("destinations");
        QTest::newRow("three of five") << QList<int>{4, 1, 2} << QString() << QStringList{"B", "C", "E"};
        QTest::newRow("none checked") << QList<int>{} << QString() << QStringList{};
        QTest::newRow("the note was peeled meanwhile") << QList<int>{0} << "peel" << QStringList{};
        QTest::newRow("too large for a datagram") << QList<int>{0} << "grow" << QStringList{};
    }
    void sending() {
        QFETCH(QList<int>, checked);
        QFETCH(QString, change);
        QFETCH(QStringList, destinations);
        m_browser.names = {"A", "B", "C", "D", "E"};
        NoteWindow* note = sendableNote();
        m_state->noteToSend = note;
        auto* form = new SendWindow(*m_state, m_socket, m_browser);
        QSignalSpy destroyed(form, &QObject::destroyed);
        form->refreshComputerList();
        form->show();
        for (int i : checked)
            form->list()->item(i)->setCheckState(Qt::Checked);
        if (change == "peel")
            UnloadNote(*note);
        if (change == "grow")
            note->textBox()->setText(QString(40000, QChar(0x7D19))); // two bytes each on the wire

        QTest::mouseClick(form->sendButton(), Qt::LeftButton);
        QTRY_COMPARE(destroyed.size(), 1);
        QStringList hosts;
        for (const MemorySocket::Sent& s : m_socket.sent) {
            hosts << s.host;
            QCOMPARE(s.port, quint16(2000));
            QCOMPARE(s.bytes, m_socket.sent.first().bytes); // the note did not change between them
        }
        QCOMPARE(hosts, destinations);
        if (!destinations.isEmpty())
            QCOMPARE(m_socket.sent.first().bytes, DatagramSocket::toWire(BuildTransferMessage(*note)));
        QCOMPARE(m_messages.size(), change == "grow" ? 1 : 0);
    }

    // Closing the port window applies a port typed as ASCII digits and keeps the
    // window open, with a message, for anything else.
    void portWindow_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");
        QTest::newRow("leading zero kept as typed") << "02000" << 2000;
        QTest::newRow("highest") << "65535" << 65535;
        QTest::newRow("blank inside") << "20 00" << 0;
        QTest::newRow("full-width digits") << QStringLiteral("２０００") << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("above 65535") << "65536" << 0;
        QTest::newRow("too long for 32 bits") << "000000000002000" << 0;
    }
    void portWindow() {
        QFETCH(QString, text);
        QFETCH(int, port);
        m_state->portNumber = 2000;
        NetworkSettingsWindow form(*m_state, m_socket);
        QSignalSpy applied(&form, &NetworkSettingsWindow::portApplied);
        form.showWithPortNumber();
        QCOMPARE(form.portField()->text(), QStringLiteral("2000"));
        form.portField()->setText(text);
        m_socket.bindings.clear();
        form.close();
        if (port == 0) {
            QCOMPARE(m_messages, QStringList{QStringLiteral("有効なポート番号を入力してください")});
            QVERIFY(form.isVisible());
            QCOMPARE(form.portField()->text(), text);
            QVERIFY(applied.isEmpty() && m_socket.bindings.isEmpty());
            return;
        }
        QVERIFY(!form.isVisible() && m_messages.isEmpty());
        QCOMPARE(m_socket.bindings, QList<quint16>{quint16(port)});
        QCOMPARE(std::pair(m_socket.remotePort(), m_state->portNumber), std::pair(quint16(port), port));
        QCOMPARE(applied.size(), 1);
        QCOMPARE(applied.first().at(0).toString(), text);
    }

    // One-byte reports: one message at a time, never a note.
    void undeliveredReports() {
        NoteReceiver receiver(*m_state, m_socket);
        for (int i = 0; i < 100; ++i)
            m_socket.arrive("x");
        QCOMPARE(m_messages, QStringList{QStringLiteral("送信できなかったマシンがありました")});
        QCOMPARE(std::pair(m_state->noteCount, m_socket.unreadDropped), std::pair(0, 100));
        QPointer<QMessageBox> box = topLevels<QMessageBox>().value(0);
        QVERIFY(box);
        box->button(QMessageBox::Ok)->click(); // the user's OK
        QTRY_VERIFY(!box);
        m_socket.arrive("x");
        QCOMPARE(m_messages.size(), 2);
    }

    // Anybody can send: notes from the network are taken up to a bound a minute from
    // each sender and in all, the rest dropped unread, the user told once; a quiet
    // computer gets through another's flood; a minute later they come again.
    void aFloodOfNotes() {
        QDateTime now(QDate(2026, 12, 7), QTime(9, 0));
        m_state->now = [&now] { return now; };
        NoteReceiver receiver(*m_state, m_socket);
        const int each = NoteReceiver::kNotesPerSenderPerMinute;
        const int all = NoteReceiver::kNotesPerMinute;
        auto send = [&](int count, const QString& sender) {
            for (int i = 0; i < count; ++i) {
                m_socket.arrive(noteDatagram(), sender);
                now = now.addMSecs(100);
            }
        };
        send(each + 40, "10.0.0.9");
        QCOMPARE(m_state->noteCount, each);
        QCOMPARE(m_socket.unreadDropped, 40);
        send(1, "10.0.0.1"); // the quiet one
        QCOMPARE(m_state->noteCount, each + 1);
        for (int sender = 2; m_state->noteCount < all; ++sender)
            send(each, QStringLiteral("10.0.0.%1").arg(sender));
        send(1, "10.0.0.99"); // a new sender, but the minute is full
        QCOMPARE(m_state->noteCount, all);
        QCOMPARE(Tag::NoteIdOf(m_state->noteWindows.at(all)->tag()), all);
        QCOMPARE(m_messages.size(), 1);

        now = now.addSecs(61);
        send(1, "10.0.0.9");
        m_socket.arrive(QByteArray(200, 'z')); // no note, and no message about it
        QCOMPARE(m_state->noteCount, all + 1);
        QCOMPARE(m_messages.size(), 1);
    }

    // Whose notes are taken is the user's choice: everyone's, the chosen computers'
    // (known by their addresses now), or nobody's; refused ones are dropped unread.
    void receivingAsTheUserChose() {
        m_browser.names = {"ALPHA", "BETA"};
        m_browser.addresses = {{"ALPHA", {QHostAddress("10.0.0.1")}}, {"BETA", {QHostAddress("10.0.0.2")}}};
        NoteReceiver receiver(*m_state, m_socket, &m_browser);
        using Receiving = AppState::Receiving;
        m_state->receiveFrom = {"alpha"}; // as typed into the settings file by hand
        const struct {
            Receiving mode;
            const char* sender;
            bool taken;
        } cases[] = {
            {Receiving::FromEveryone, "10.0.0.7", true}, {Receiving::FromEveryone, "10.0.0.2", true},
            {Receiving::FromChosen, "10.0.0.1", true},   {Receiving::FromChosen, "10.0.0.2", false},
            {Receiving::FromChosen, "10.0.0.7", false},  {Receiving::FromNobody, "10.0.0.1", false},
        };
        for (const auto& c : cases) {
            m_state->receiveMode = c.mode;
            const qint32 before = m_state->noteCount;
            const int unread = m_socket.unreadDropped;
            m_socket.arrive(noteDatagram(), QString::fromLatin1(c.sender));
            QCOMPARE(m_state->noteCount, before + (c.taken ? 1 : 0));
            QCOMPARE(m_socket.unreadDropped, unread + (c.taken ? 0 : 1));
        }
        QVERIFY(m_state->noteWindows.at(1)->origin().startsWith(QStringLiteral("送信元: 10.0.0.7\n")));
        QVERIFY(m_state->noteWindows.at(2)->origin().startsWith(QStringLiteral("送信元: BETA（10.0.0.2）\n")));
        QVERIFY(m_messages.isEmpty());
        m_state->receiveMode = Receiving::FromEveryone;
        m_browser.names.clear();
        m_browser.addresses.clear();
    }

private:
    NoteWindow* sendableNote() {
        NoteWindow* note = AppendWrittenNote(*m_state, kRtf, NoteColor::Yellow);
        ShowWrittenNote(*m_state, *note);
        return note;
    }
    static QStringList listed(SendWindow* form) {
        QStringList names;
        for (int i = 0; i < form->list()->count(); ++i) {
            names << form->list()->item(i)->text();
            if (form->list()->item(i)->checkState() != Qt::Unchecked)
                names << "(checked)";
        }
        return names;
    }

    std::unique_ptr<ScratchAppState> m_state;
    MemorySocket m_socket;
    FixedHostBrowser m_browser;
    QStringList m_messages;
};

QTEST_MAIN(TestSendAndReceive)
#include "TestSendAndReceive.moc"

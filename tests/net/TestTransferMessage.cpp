// The message that carries a note to another computer, byte for byte, and the
// note a received message becomes.
#include "net/NoteReceiver.h"
#include "net/TransferMessage.h"
#include "note/FusenForm.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/NoteFile.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "ScratchAppState.h"

#include <QScreen>
#include <QTest>

namespace {

const QString kRtf = QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 from afar\\par}");

} // namespace

class TestTransferMessage : public QObject {
    Q_OBJECT

private slots:
    void layoutByteForByte() {
        const QString rtf(250, QLatin1Char('x'));
        const QString message = BuildTransferMessage(2400, 1800, NoteColor::Yellow, rtf);
        QCOMPARE(message.size(), 61 + 250);
        QCOMPARE(message.left(60), QStringLiteral("PINOR:FORMSEND:00000002400:00000001800:10027007:00000000250:"));
        QCOMPARE(message.mid(60, 250), rtf);
        QVERIFY(message.endsWith(QLatin1Char(':')));
        // Fields keep their widths whatever a note holds.
        QCOMPARE(BuildTransferMessage(-5, 0, -1, QString()).left(60),
                 QStringLiteral("PINOR:FORMSEND:00000000000:00000000000:16777215:00000000000:"));

        // From a note as it is now: its window size and its text box.
        ScratchAppState state;
        state.NoteWindows.resize(3);
        state.NoteCount = 1;
        NoteRecord r;
        r.Width = 3000;
        r.Height = 1500;
        r.BackColor = NoteColor::Green;
        r.TextRTF = kRtf.toLatin1();
        r.CreatedAt = "26/12/07 06:30:00";
        FusenForm* note = RestoreNote(state, 1, r);
        const std::optional<ReceivedFields> back = ParseTransferMessage(BuildTransferMessage(*note));
        QVERIFY(back && back->isNote());
        QCOMPARE(back->width, 3000);
        QCOMPARE(back->height, 1500);
        QCOMPARE(back->colour, NoteColor::Green);
        QCOMPARE(back->body, QString::fromLatin1(note->Rich1->textRTF()) + QLatin1Char(':'));
        QCOMPARE(back->length, back->body.size() - 1);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<bool>("note");
        const QString good = BuildTransferMessage(2400, 1800, NoteColor::Blue, kRtf);
        QTest::newRow("a sent note") << good << true << true;
        QTest::newRow("length field disagreeing with the body")
            << QString(good).replace(49, 11, "00000000003") << true << true;
        QTest::newRow("separators not checked") << QString(good).replace(5, 1, "#") << true << true;
        QTest::newRow("fifth letter of the signature") << QString(good).replace(4, 1, "X") << true << false;
        QTest::newRow("lower-case command") << QString(good).replace(6, 8, "formsend") << true << false;
        QTest::newRow("header only") << good.left(60) << true << true;
        QTest::newRow("59 characters") << good.left(59) << false << false;
        QTest::newRow("letters in the width") << QString(good).replace(15, 11, "0000000abcd") << false << false;
        QTest::newRow("height past 32 bits") << QString(good).replace(27, 11, "99999999999") << false << false;
        QTest::newRow("one byte") << QStringLiteral("x") << false << false;
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, parsed);
        QFETCH(bool, note);
        const std::optional<ReceivedFields> fields = ParseTransferMessage(text);
        QCOMPARE(bool(fields), parsed);
        if (!fields)
            return;
        QCOMPARE(fields->isNote(), note);
        QCOMPARE(fields->body, text.mid(60)); // to the end, trailing ":" included
    }

    // A received note takes the next slot, the sender's text, colour and size, is
    // centred and saved; a message that is not a note changes nothing.
    void receivedNote() {
        ScratchAppState state;
        state.Loading = false;
        state.NoteWindows.resize(2);
        BuildPlaceholder(state);
        const std::optional<ReceivedFields> fields =
            ParseTransferMessage(BuildTransferMessage(4500, 3000, NoteColor::Purple, kRtf));
        FusenForm* first = CreateReceivedNote(state, *fields);
        QVERIFY(first);
        QCOMPARE(first->tag().size(), 32);
        QCOMPARE(Tag::NoteIdOf(first->tag()), 1);
        QCOMPARE(first->Rich1->text(), QStringLiteral("from afar"));
        QCOMPARE(first->Rich1->backColor(), NoteColor::Purple);
        QCOMPARE(first->size(), QSize(Twips::toPixelsX(4500), Twips::toPixelsY(3000))); // not fitted to the text
        const QRect screen = first->screen()->geometry();
        QVERIFY(qAbs(first->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(first->isVisible());
        QCOMPARE(NoteFile::decode(readBytes(state.dataFilePath()))->count, 1);

        ReceivedFields other = *fields;
        other.command = QStringLiteral("FORMSENT");
        QVERIFY(!CreateReceivedNote(state, other));
        QCOMPARE(state.NoteCount, 1);

        // A size no screen here could show comes within the largest one, with room to
        // take it by its edge; a note from the network says where it came from.
        ReceivedFields huge = *fields;
        huge.width = 2000000000;
        huge.height = 2000000000;
        FusenForm* third = CreateReceivedNote(state, huge, QStringLiteral("BRAVO（10.0.0.2）"));
        const QRect room = first->screen()->availableGeometry();
        QVERIFY(third->width() <= room.width() - 96 && third->height() <= room.height() - 96);
        QVERIFY(third->origin().startsWith(QStringLiteral("送信元: BRAVO（10.0.0.2）\n受信: ")));
        QVERIFY(first->origin().isEmpty());
    }
};

QTEST_MAIN(TestTransferMessage)
#include "TestTransferMessage.moc"

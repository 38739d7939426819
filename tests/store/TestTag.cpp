#include "store/NoteRecord.h"
#include "store/Tag.h"

#include <QTest>

class TestTag : public QObject {
    Q_OBJECT

private slots:
    void layoutOfANewTag() {
        const QString tag = Tag::MakeNewTag(42, QDateTime(QDate(2004, 7, 1), QTime(9, 5, 3)));
        QCOMPARE(tag, QStringLiteral("0000000042%04/07/01 09:05:03%T%T"));
        QCOMPARE(Tag::NoteIdOf(tag), 42);
        QCOMPARE(Tag::CreatedAtOf(tag), QStringLiteral("04/07/01 09:05:03"));
        QVERIFY(Tag::GetTagFlag(tag, Tag::kVisibleFlag) && Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));
        // Two-digit year, 24 hours.
        QCOMPARE(Tag::FormatTimeStamp(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))),
                 QStringLiteral("99/12/31 23:59:59"));
    }

    void placeholderTag() {
        const QString tag = Tag::PlaceholderTag();
        QCOMPARE(tag.size(), 33);
        QVERIFY(tag.endsWith(QLatin1Char('%')));
        QCOMPARE(Tag::NoteIdOf(tag), 0);
        QVERIFY(!Tag::GetTagFlag(tag, Tag::kVisibleFlag) && !Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));
    }

    void getTagFlag_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("expected");
        const QString base = QStringLiteral("0000000001%04/07/01 09:15:00%");
        QTest::newRow("T") << base + "T%F" << 30 << true;
        QTest::newRow("F") << base + "T%F" << 32 << false;
        QTest::newRow("anything but F counts as set") << base + "x%?" << 32 << true;
        QTest::newRow("lower-case f is not F") << base + "f%f" << 30 << true;
        QTest::newRow("a 30-character Tag ending in %") << base + "%" << 30 << true;
        QTest::newRow("position past the end") << base + "%" << 32 << false;
        QTest::newRow("empty Tag") << QString() << 30 << false;
    }
    void getTagFlag() {
        QFETCH(QString, tag);
        QFETCH(int, position);
        QFETCH(bool, expected);
        QCOMPARE(Tag::GetTagFlag(tag, position), expected);
    }

    void setTagFlag_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("value");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("result");
        const QString base = QStringLiteral("0000000001%04/07/01 09:15:00%");
        QTest::newRow("replace in place") << base + "T%T" << 30 << false << base + "F%T" << -1;
        QTest::newRow("second flag") << base + "T%T" << 32 << false << base + "T%F" << -1;
        QTest::newRow("32 on a 30-character Tag pads with %") << base + "%" << 32 << true << base + "%%T" << -1;
        QTest::newRow("30 on a 29-character Tag appends") << base << 30 << false << base + "F" << -1;
        QTest::newRow("32 on a short Tag") << QStringLiteral("0000000001") << 32 << false
                                           << QStringLiteral("0000000001") + QString(21, '%') + "F" << -1;
        QTest::newRow("empty Tag stays empty") << QString() << 30 << true << QString() << 0;
    }
    void setTagFlag() {
        QFETCH(QString, before);
        QFETCH(int, position);
        QFETCH(bool, value);
        QFETCH(QString, after);
        QFETCH(int, result);
        QString tag = before;
        QCOMPARE(Tag::SetTagFlag(tag, position, value), result);
        QCOMPARE(tag, after);
        QCOMPARE(Tag::GetTagFlag(tag, position), value && result == -1);
    }

    void tagFromRecord() {
        NoteRecord r;
        r.Index = 3;
        r.CreatedAt = "04/07/01 09:15:00";
        r.VisibleFlag = "F";
        r.PlaceOnShowFlag = "T";
        QCOMPARE(Tag::TagFromRecord(r), QStringLiteral("0000000003%04/07/01 09:15:00%F%T"));

        // Empty flags give 30 characters: shown, and never to be centred.
        r.VisibleFlag.clear();
        r.PlaceOnShowFlag.clear();
        const QString tag = Tag::TagFromRecord(r);
        QCOMPARE(tag, QStringLiteral("0000000003%04/07/01 09:15:00%%"));
        QVERIFY(Tag::GetTagFlag(tag, Tag::kVisibleFlag) && !Tag::GetTagFlag(tag, Tag::kPlaceOnShowFlag));

        // An empty record still yields a Tag, so the note is not taken for a dead slot.
        QCOMPARE(Tag::TagFromRecord(NoteRecord{}), QStringLiteral("0000000000%%%"));
    }
};

QTEST_GUILESS_MAIN(TestTag)
#include "TestTag.moc"

#include "platform/ProfileFile.h"
#include "text/CodePage.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Keeps embedded NULs of a literal.
template <qsizetype N>
QByteArray bytes(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

const QByteArray kSjisFile = CodePage::encodeCp932(u"; ピノラの設定\r\n"
                                                   u"[ピノラ]\r\n"
                                                   u"スタートアップ登録=1\r\n"
                                                   u"ドラッグモード=2\r\n"
                                                   u"開始モード=0\r\n"
                                                   u"\r\n"
                                                   u"[表示]\r\n"
                                                   u"色=黄色\r\n"_s);

} // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

private slots:
    void parseInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("plain") << "7" << qint64(7);
        QTest::newRow("rich text format") << "-16639" << qint64(-16639);
        QTest::newRow("letters after digits") << "12abc" << qint64(12);
        QTest::newRow("full-width digits") << u"１２"_s << qint64(0);
        QTest::newRow("too high saturates") << "+9223372036854775808" << std::numeric_limits<qint64>::max();
    }
    void parseInt() {
        QFETCH(QString, text);
        QTEST(ProfileFile::parseInt(text), "expected");
    }

    void lookup_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");
        QTest::newRow("found") << QByteArray("[s]\nk=1\n") << "s"
                               << "k" << true << "1";
        QTest::newRow("unicode case") << u"[ÄÖ]\nＫｅｙ=3\n"_s.toUtf8() << u"äö"_s << u"ｋＥＹ"_s << true << "3";
        QTest::newRow("blanks around names and value") << QByteArray("  [ s ]  \n\t k \t=  4 \t\n") << "s"
                                                       << "k" << true << "4";
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << "s"
                                     << "k" << true << "";
        QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nK=2\n") << "s"
                                        << "k" << true << "1";
        QTest::newRow("first section wins") << QByteArray("[s]\na=1\n[S]\nk=2\n") << "s"
                                            << "k" << false << QString();
        QTest::newRow("key before any section") << QByteArray("k=1\n[s]\n") << "s"
                                                << "k" << false << QString();
        QTest::newRow("missing section") << QByteArray("[t]\nk=1\n") << "s"
                                         << "k" << false << QString();
        QTest::newRow("CR LF, no final line break") << QByteArray("[s]\r\nk=5\r\nj=6") << "s"
                                                    << "j" << true << "6";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[s]\nk=7\n") << "s"
                                         << "k" << true << "7";
        QTest::newRow("junk and NULs around") << bytes("\x00\xFF\x80[\n]]=\n[s]\n\x00=\x01\nk=8\n") << "s"
                                              << "k" << true << "8";
        QTest::newRow("shift-jis value") << kSjisFile << u"表示"_s << u"色"_s << true << u"黄色"_s;
    }
    void lookup() {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        const std::optional<QString> value = ProfileFile::lookup(content, section, key);
        QTEST(value.has_value(), "found");
        QTEST(value.value_or(QString()), "expected");
    }

    void updated_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("expected");
        // Every row sets key "k" of section "s" to "v".
        QTest::newRow("value replaced, rest kept")
            << QByteArray("; top\n[t]\nk=9\n\n[s]\na=1\n k = 5 \nb=2\n\n[u]\nk=0\n")
            << QByteArray("; top\n[t]\nk=9\n\n[s]\na=1\n k = v\nb=2\n\n[u]\nk=0\n");
        QTest::newRow("file's spelling of names kept") << QByteArray("[S]\nK=1\n") << QByteArray("[S]\nK=v\n");
        QTest::newRow("first of duplicate keys") << QByteArray("[s]\nk=1\nk=2\n") << QByteArray("[s]\nk=v\nk=2\n");
        QTest::newRow("CR LF kept") << QByteArray("[s]\r\nk=1\r\n") << QByteArray("[s]\r\nk=v\r\n");
        QTest::newRow("byte order mark kept")
            << QByteArray("\xEF\xBB\xBF[s]\nk=1\n") << QByteArray("\xEF\xBB\xBF[s]\nk=v\n");
        QTest::newRow("new key after last key") << QByteArray("[s]\na=1\nb=2\n\n; next\n[t]\nk=3\n")
                                                << QByteArray("[s]\na=1\nb=2\nk=v\n\n; next\n[t]\nk=3\n");
        QTest::newRow("new key in empty section") << QByteArray("[s]\n\n[t]\n") << QByteArray("[s]\nk=v\n\n[t]\n");
        QTest::newRow("new key, first of duplicate sections")
            << QByteArray("[s]\na=1\n[s]\nk=1\n") << QByteArray("[s]\na=1\nk=v\n[s]\nk=1\n");
        QTest::newRow("new section at end") << QByteArray("[t]\nk=3\n") << QByteArray("[t]\nk=3\n[s]\nk=v\n");
        QTest::newRow("empty file") << QByteArray() << QByteArray("[s]\nk=v\n");
        QTest::newRow("byte order mark only") << QByteArray("\xEF\xBB\xBF") << QByteArray("\xEF\xBB\xBF[s]\nk=v\n");
    }
    void updated() {
        QFETCH(QByteArray, content);
        QTEST(ProfileFile::updated(content, u"s", u"k", u"v"), "expected");
    }

    void shiftJisUpdateKeepsOtherLines() {
        QVERIFY(!CodePage::isUtf8(kSjisFile));
        QByteArray bytes = ProfileFile::updated(kSjisFile, u"ピノラ", u"ドラッグモード", u"3");
        bytes = ProfileFile::updated(bytes, u"ピノラ", u"ポート番号", u"2000");
        bytes = ProfileFile::updated(bytes, u"表示", u"色", u"青");
        QCOMPARE(bytes,
                 CodePage::encodeCp932(u"; ピノラの設定\r\n[ピノラ]\r\nスタートアップ登録=1\r\nドラッグモード=3\r\n"
                                       u"開始モード=0\r\nポート番号=2000\r\n\r\n[表示]\r\n色=青\r\n"_s));
        QCOMPARE(ProfileFile::lookup(bytes, u"ピノラ", u"ポート番号").value_or(QString()), u"2000"_s);
        QCOMPARE(ProfileFile::lookup(bytes, u"ピノラ", u"スタートアップ登録").value_or(QString()), u"1"_s);
    }

    void updateOfCutOffFileStaysReadable() {
        // Ends inside a UTF-8 character, so it must not be taken for UTF-8: the new
        // lines would make it invalid and unreadable as such.
        const QByteArray cut = ProfileFile::updated("[t]\nk=1\n\xE3\x81", u"ピノラ", u"開始モード", u"1");
        QCOMPARE(ProfileFile::lookup(cut, u"ピノラ", u"開始モード").value_or(QString()), u"1"_s);
        // A Shift-JIS section name ending in a lone lead byte and a CR at the end of
        // the file: the line break added behind it must not turn it into "[ピノラ".
        const QByteArray lead =
            ProfileFile::updated("\n[\x83\x73\x83\x6D\x83\x89\x83\r", u"ピノラ", u"開始モード", u"1");
        QCOMPARE(ProfileFile::lookup(lead, u"ピノラ", u"開始モード").value_or(QString()), u"1"_s);
    }

    // A UTF-8 file with one stray byte (an editor's slip, a bad sector) stays UTF-8:
    // its settings read, an update changes the one value in place, and a section
    // spelled in the other encoding is found rather than added twice.
    void strayByteKeepsTheFilesEncoding() {
        const QByteArray stray =
            u"[ピノラ]\nドラッグモード=3\n; メモ \xFF\nポート番号=4000\n"_s.toUtf8().replace("\xC3\xBF", "\xFF");
        QVERIFY(!CodePage::isUtf8(stray));
        QCOMPARE(ProfileFile::lookup(stray, u"ピノラ", u"ドラッグモード").value_or(QString()), u"3"_s);
        const QByteArray updated = ProfileFile::updated(stray, u"ピノラ", u"ポート番号", u"2001");
        QCOMPARE(updated, QByteArray(stray).replace("4000", "2001"));
        const QByteArray added = ProfileFile::updated(stray, u"ピノラ", u"開始モード", u"1");
        QCOMPARE(added.count(u"[ピノラ]"_s.toUtf8()), 1);
        QCOMPARE(ProfileFile::lookup(added, u"ピノラ", u"開始モード").value_or(QString()), u"1"_s);

        // Shift-JIS files from Windows are still Shift-JIS, and a Shift-JIS section in
        // a UTF-8 file is the same section.
        QVERIFY(!CodePage::isMostlyUtf8(kSjisFile));
        const QByteArray mixed = u"; この設定ファイルは UTF-8 で書き直しました\n"_s.toUtf8() +
                                 CodePage::encodeCp932(u"[ピノラ]\n開始モード=1\n"_s);
        QVERIFY(CodePage::isMostlyUtf8(mixed));
        const QByteArray mixedUpdated = ProfileFile::updated(mixed, u"ピノラ", u"開始モード", u"0");
        QCOMPARE(mixedUpdated, QByteArray(mixed).replace("=1", "=0"));
    }

    // The file is updated in its own encoding; a write that fails leaves it whole.
    void writeUpdatesTheFileOrKeepsIt() {
        QTemporaryDir dir;
        const ProfileFile profile(dir.filePath("Pinora.ini"));
        QVERIFY(writeBytes(profile.path(), kSjisFile));
        QVERIFY(profile.writeString(u"ピノラ", u"開始モード", u"1"));
        QByteArray expected = kSjisFile;
        expected.replace(CodePage::encodeCp932(u"開始モード=0"_s), CodePage::encodeCp932(u"開始モード=1"_s));
        QCOMPARE(readBytes(profile.path()), expected);
        QCOMPARE(profile.readInt(u"ピノラ", u"開始モード", 0), qint64(1));
        bool written = true;
        {
            const FileSizeLimit limit(expected.size() / 2);
            written = profile.writeString(u"ピノラ", u"開始モード", u"0");
        }
        QVERIFY(!written);
        QCOMPARE(readBytes(profile.path()), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Pinora.ini"});
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "TestProfileFile.moc"

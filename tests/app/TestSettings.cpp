#include "app/Settings.h"

#include "FileBytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

bool writeText(const QString& path, const QString& text) {
    return writeBytes(path, text.toUtf8());
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ProfileFile profile() const { return ProfileFile(m_dir.filePath(Settings::kFileName)); }

private slots:
    void init() { QFile::remove(profile().path()); }

    void read_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("startupRegistered");
        QTest::addColumn<int>("dragMode");
        QTest::addColumn<int>("dragDataFormat");
        QTest::addColumn<int>("startMode");
        QTest::addColumn<int>("portNumber");
        QTest::newRow("no file") << QString() << false << 1 << 1 << 0 << 0;
        QTest::newRow("all set") << u"[ピノラ]\nスタートアップ登録=1\nドラッグモード=3\nドラッグデータ=-16639\n"
                                    u"開始モード=1\nポート番号=5000\n"_s
                                 << true << 3 << -16639 << 1 << 5000;
        QTest::newRow("registered only when 1") << u"[ピノラ]\nスタートアップ登録=2\n"_s << false << 1 << 1 << 0 << 0;
        QTest::newRow("drag mode 7 kept") << u"[ピノラ]\nドラッグモード=7\n"_s << false << 7 << 1 << 0 << 0;
        QTest::newRow("trailing text ignored")
            << u"[ピノラ]\nドラッグモード=2番\nポート番号=80a\n"_s << false << 2 << 1 << 0 << 80;
        QTest::newRow("not a number reads 0") << u"[ピノラ]\nドラッグデータ=なし\n"_s << false << 1 << 0 << 0 << 0;
        QTest::newRow("16-bit edges kept")
            << u"[ピノラ]\nドラッグモード=32767\nドラッグデータ=-32768\n"_s << false << 32767 << -32768 << 0 << 0;
        QTest::newRow("beyond 16 bits reads default")
            << u"[ピノラ]\nドラッグモード=40000\nドラッグデータ=-32769\n開始モード=32768\n"_s << false << 1 << 1 << 0
            << 0;
        QTest::newRow("32-bit port edge kept")
            << u"[ピノラ]\nポート番号=-2147483648\n"_s << false << 1 << 1 << 0 << int(-2147483648LL);
        QTest::newRow("beyond 32 bits port reads 0")
            << u"[ピノラ]\nポート番号=4294967296\n"_s << false << 1 << 1 << 0 << 0;
    }
    void read() {
        QFETCH(QString, file);
        if (!file.isNull())
            QVERIFY(writeText(profile().path(), file));
        const Settings s = ReadSettings(profile());
        QTEST(s.startupRegistered, "startupRegistered");
        QTEST(int(s.dragMode), "dragMode");
        QTEST(int(s.dragDataFormat), "dragDataFormat");
        QTEST(int(s.startMode), "startMode");
        QTEST(int(s.portNumber), "portNumber");
        QTEST(int(ReadStartMode(profile())), "startMode");
    }

    void menuMarks_data() {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<int>("dragMode");
        QTest::addColumn<int>("dragData");
        QTest::addColumn<QString>("checked"); // the checked items, in menu order
        QTest::newRow("defaults") << false << 1 << 1 << "removeStartup dragCopyLogPeel dragPlainText";
        QTest::newRow("registered, mode 2, rich text")
            << true << 2 << -16639 << "registerStartup dragCopyOnly dragRichText";
        QTest::newRow("mode 7 keeps designed mark") << false << 7 << 1 << "removeStartup dragCopyLogPeel dragPlainText";
        QTest::newRow("unknown format is rich text") << false << 1 << 0 << "removeStartup dragCopyLogPeel dragRichText";
    }
    void menuMarks() {
        QFETCH(bool, registered);
        QFETCH(int, dragMode);
        QFETCH(int, dragData);
        Settings s;
        s.startupRegistered = registered;
        s.dragMode = qint16(dragMode);
        s.dragDataFormat = qint16(dragData);
        const MenuMarks m = MenuMarksFor(s);
        QStringList checked;
        const std::pair<bool, const char*> items[] = {
            {m.registerStartup, "registerStartup"}, {m.removeStartup, "removeStartup"},
            {m.dragCopyLogPeel, "dragCopyLogPeel"}, {m.dragCopyOnly, "dragCopyOnly"},
            {m.dragCopyPeel, "dragCopyPeel"},       {m.dragRichText, "dragRichText"},
            {m.dragPlainText, "dragPlainText"}};
        for (const auto& [on, name] : items)
            if (on)
                checked << QString::fromLatin1(name);
        QTEST(checked.join(u' '), "checked");
    }

    void writeMenuSettingsInOrder() {
        QVERIFY(WriteMenuSettings(profile(), true, 2, Settings::kRichText));
        QCOMPARE(readBytes(profile().path()),
                 u"[ピノラ]\nスタートアップ登録=1\nドラッグモード=2\nドラッグデータ=-16639\n"_s.toUtf8());
        QVERIFY(WriteMenuSettings(profile(), false, 3, Settings::kPlainText));
        QCOMPARE(readBytes(profile().path()),
                 u"[ピノラ]\nスタートアップ登録=0\nドラッグモード=3\nドラッグデータ=1\n"_s.toUtf8());
    }

    void runningFlagAndPortKeepTheRest() {
        const QString before = u"; 手で書いた注\r\n[ピノラ]\r\nドラッグモード=2\r\n\r\n[他]\r\nx=1\r\n"_s;
        QVERIFY(writeText(profile().path(), before));
        QVERIFY(WriteRunningFlag(profile(), true));
        QCOMPARE(ReadStartMode(profile()), qint16(1));
        QVERIFY(WritePortSetting(profile(), u"08080"_s));
        QVERIFY(WriteRunningFlag(profile(), false));
        QCOMPARE(
            readBytes(profile().path()),
            u"; 手で書いた注\r\n[ピノラ]\r\nドラッグモード=2\r\n開始モード=0\r\nポート番号=08080\r\n\r\n[他]\r\nx=1\r\n"_s
                .toUtf8());
        QCOMPARE(ReadSettings(profile()).portNumber, 8080);
    }

    // Whose notes are received: only the modes the window offers; names without blanks.
    void receivingChoice() {
        QVERIFY(writeBytes(profile().path(), u"[ピノラ]\n受信=3\n受信するコンピュータ=ALPHA,,BETA\n"_s.toUtf8()));
        QCOMPARE(std::pair(ReadSettings(profile()).receiveMode, ReadSettings(profile()).receiveFrom),
                 std::pair(qint16(0), QStringList{u"ALPHA"_s, u"BETA"_s}));
        QVERIFY(WriteReceiveSettings(profile(), 2, {u"ALPHA"_s}));
        QCOMPARE(ReadSettings(profile()).receiveMode, qint16(2));
    }

    void failedWritesReportFalse() {
        const ProfileFile nowhere(m_dir.filePath(u"missing/"_s + Settings::kFileName));
        QVERIFY(!WriteMenuSettings(nowhere, false, 1, 1));
        QVERIFY(!WriteRunningFlag(nowhere, true));
        QVERIFY(!WritePortSetting(nowhere, u"2000"_s));
        QCOMPARE(ReadSettings(nowhere).dragMode, qint16(1));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "TestSettings.moc"

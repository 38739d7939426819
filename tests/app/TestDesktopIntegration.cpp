// Starting with the desktop and the version dialog, from the tray menu, checked by
// the desktop's own tools where they are installed.
#include "app/Program.h"
#include "app/ReadingWindow.h"
#include "app/StartupEntry.h"
#include "app/ToolkitTranslation.h"
#include "app/TrayMenu.h"
#include "app/VersionDialog.h"
#include "platform/MessageBox.h"
#include "platform/TrayIcon.h"

#include "FileBytes.h"
#include "ScratchAppState.h"
#include "TopLevels.h"

#include <QColorDialog>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {

// A program that leaves a mark when it runs.
QString markingProgram(const QString& path, const QString& mark) {
    QDir().mkpath(QFileInfo(path).path());
    writeBytes(path, QStringLiteral("#!/bin/sh\nexec /usr/bin/touch '%1'\n").arg(mark).toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeUser);
    return path;
}

} // namespace

class TestDesktopIntegration : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;
    QString entryPath() const { return m_config.filePath("autostart/" + StartupEntry::kFileName); }
    static std::unique_ptr<Program> makeForm(AppState& state, Program::Services services = {}) {
        services.makeTrayIcon = [] { return std::make_unique<TrayIcon>(); };
        return std::make_unique<Program>(state, services);
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; });
    }
    void init() { m_messages.clear(); }

    // An executable whose path has blanks, quotes, a per cent sign and Japanese
    // characters: the entry is valid; the desktop's launcher starts exactly that
    // program (GLib cannot start a path with a per cent sign at all, so that one is
    // only validated).
    void theEntryStartsTheProgram() {
        if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
            QSKIP("desktop-file-validate (desktop-file-utils) is not installed");
        QTemporaryDir dir;
        const QString mark = dir.filePath("ran");
        const auto entryFor = [&](const QString& name) {
            const QString program = markingProgram(dir.filePath(name), mark);
            QFile::remove(entryPath());
            QCOMPARE(StartupEntry::CreateStartupShortcut(program, StartupEntry::kFileName),
                     StartupEntry::Result::Created);
            QProcess validate;
            validate.start("desktop-file-validate", {entryPath()});
            QVERIFY(validate.waitForFinished() && validate.exitCode() == 0);
            QCOMPARE(validate.readAll(), QByteArray());
        };
        entryFor("付箋 アプリ/100% sure");
        entryFor("付箋 アプリ/it's \"Pinora\" $HOME");
        if (QTest::currentTestFailed())
            return;
        if (QStandardPaths::findExecutable("gio").isEmpty())
            QSKIP("gio (libglib2.0-bin) is not installed");
        QCOMPARE(QProcess::execute("gio", {"launch", entryPath()}), 0);
        QTRY_VERIFY(QFile::exists(mark));
    }

    // 登録 and 削除 with their marks and the key; an entry already there is kept.
    void registerAndRemoveFromTheTrayMenu() {
        ScratchAppState state;
        const std::unique_ptr<Program> form = makeForm(state);
        TrayMenu& menu = *form->trayMenu();
        const auto key = [&] {
            return QString::fromUtf8(readBytes(state.filePath("Pinora.ini"))).section("スタートアップ登録=", 1).left(1);
        };
        QFile::remove(entryPath());

        menu.registerStartup()->trigger();
        QVERIFY(menu.registerStartup()->isChecked() && !menu.removeStartup()->isChecked());
        QCOMPARE(readBytes(entryPath()), StartupEntry::desktopEntry(QCoreApplication::applicationFilePath()));
        QCOMPARE(key(), "1");
        writeBytes(entryPath(), "[Desktop Entry]\nmine\n");
        writeBytes(state.filePath("Pinora.ini"), QStringLiteral("[ピノラ]\nスタートアップ登録=0\n").toUtf8());
        menu.registerStartup()->trigger();
        QCOMPARE(readBytes(entryPath()), QByteArray("[Desktop Entry]\nmine\n"));
        QCOMPARE(key(), "1");

        menu.removeStartup()->trigger();
        QVERIFY(!QFile::exists(entryPath()));
        QVERIFY(!menu.registerStartup()->isChecked() && menu.removeStartup()->isChecked());
        QCOMPARE(key(), "0");
        // No entry: the marks switch, the key stays.
        writeBytes(state.filePath("Pinora.ini"), QStringLiteral("[ピノラ]\nスタートアップ登録=1\n").toUtf8());
        menu.registerStartup()->setChecked(true);
        menu.removeStartup()->trigger();
        QVERIFY(menu.removeStartup()->isChecked() && !menu.registerStartup()->isChecked());
        QCOMPARE(key(), "1");
        QVERIFY(m_messages.isEmpty());

        // A folder that cannot be written: the user hears of it, the key stays.
        QVERIFY(writeBytes(m_config.filePath("blocked"), ""));
        qputenv("XDG_CONFIG_HOME", m_config.filePath("blocked").toUtf8());
        menu.registerStartup()->trigger();
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(key(), "1");
    }

    void versionDialog() {
        QCOMPARE(VersionDialog::versionLine(1, 2, 3), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 1.2.3"));
        ScratchAppState state;
        const std::unique_ptr<Program> form = makeForm(state);
        form->trayMenu()->version()->trigger();
        form->trayMenu()->version()->trigger();
        QCOMPARE(topLevels<VersionDialog>(true).size(), 1);
        VersionDialog* about = topLevels<VersionDialog>(true).first();
        QCOMPARE(about->windowTitle(), QStringLiteral("ピノラのﾊﾞｰｼﾞｮﾝ情報"));

        // Without any system-information program the message; with one on PATH, it runs.
        QTemporaryDir bin;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        QTest::mouseClick(about->systemInformationButton(), Qt::LeftButton);
        QCOMPARE(m_messages, QStringList{QStringLiteral("現時点ではｼｽﾃﾑ情報を使用できません")});
        markingProgram(bin.filePath(VersionDialog::systemInformationPrograms().at(1).first()), bin.filePath("ran"));
        QTest::mouseClick(about->systemInformationButton(), Qt::LeftButton);
        qputenv("PATH", path);
        QTRY_VERIFY(QFile::exists(bin.filePath("ran")));
        QCOMPARE(m_messages.size(), 1);

        QTest::keyClick(about, Qt::Key_Escape);
        QTRY_VERIFY(topLevels<VersionDialog>(true).isEmpty());
    }

    // ヘルプ is read inside the program, one window however often it is asked for.
    // ログ表示 goes to the desktop's application; where none starts, the log shows
    // in a window of the program's own that names the file. Escape closes both.
    void helpAndLogAlwaysShow() {
        ScratchAppState state;
        QStringList opened;
        bool launcherStarts = true;
        Program::Services services;
        services.openWithDesktop = [&](const QString& path, const std::function<void(bool)>& done) {
            opened << path;
            QTimer::singleShot(0, [done, launcherStarts] { done(launcherStarts); });
        };
        const std::unique_ptr<Program> form = makeForm(state, services);
        TrayMenu& menu = *form->trayMenu();
        menu.help()->trigger();
        menu.help()->trigger();
        QList<ReadingWindow*> windows = topLevels<ReadingWindow>(true);
        QCOMPARE(windows.size(), 1);
        QCOMPARE(windows.first()->windowTitle(), QStringLiteral("ピノラ：ヘルプ"));
        QCOMPARE(windows.first()->browser()->documentTitle(), QStringLiteral("ピノラ ヘルプ"));
        QVERIFY(windows.first()->browser()->toPlainText().contains(QStringLiteral("付箋紙")) && opened.isEmpty());
        // The page tells of every item of the tray menu, by its caption.
        QStringList untold;
        for (const QAction* item : menu.findChildren<QAction*>())
            if (item != menu.menuAction() && !item->isSeparator() &&
                !windows.first()->browser()->toPlainText().contains(item->text()))
                untold << item->text();
        QCOMPARE(untold.join(","), QString());
        QVERIFY(closeWithEscape(windows.first()));

        menu.showLog()->trigger();
        QCOMPARE(m_messages, QStringList{QStringLiteral("ログはまだ作成されていません")});
        const QString log = state.filePath("Pinora.log");
        QVERIFY(writeBytes(log, QStringLiteral("[作成した日時=26/12/06 21:35:00]\r\nはがしたメモ\r\n").toUtf8()));
        menu.showLog()->trigger();
        QCOMPARE(opened, QStringList{log});
        QTest::qWait(50);
        QVERIFY(topLevels<ReadingWindow>(true).isEmpty());

        launcherStarts = false;
        menu.showLog()->trigger();
        QTRY_COMPARE((windows = topLevels<ReadingWindow>(true)).size(), 1);
        QVERIFY(windows.first()->fileLine()->text().contains(QDir::toNativeSeparators(log)));
        QVERIFY(windows.first()->browser()->toPlainText().contains(QStringLiteral("はがしたメモ")));
        QVERIFY(windows.first()->browser()->isReadOnly());
        QVERIFY(closeWithEscape(windows.first()));
        // A log brought over from the Windows program is Shift-JIS.
        QVERIFY(writeBytes(log, QByteArray("[\x8d\xec\x90\xac") + "]\r\n"));
        menu.showLog()->trigger();
        QTRY_COMPARE((windows = topLevels<ReadingWindow>(true)).size(), 1);
        QCOMPARE(windows.first()->browser()->toPlainText(), QStringLiteral("[作成]\n"));
        QVERIFY(closeWithEscape(windows.first()));
    }

    // The toolkit's own dialogs speak the program's language.
    void toolkitDialogsSpeakJapanese() {
        QVERIFY2(InstallToolkitTranslation(), "qt6-translations-l10n provides qtbase_ja.qm");
        QColorDialog dialog;
        QVERIFY(!dialog.windowTitle().isEmpty());
        QVERIFY2(dialog.windowTitle() != QLatin1String("Select Color"), qPrintable(dialog.windowTitle()));
        const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
        QVERIFY(std::any_of(buttons.cbegin(), buttons.cend(),
                            [](const QPushButton* b) { return b->text().contains(QStringLiteral("キャンセル")); }));
    }

private:
    QStringList m_messages;
};

QTEST_MAIN(TestDesktopIntegration)
#include "TestDesktopIntegration.moc"

#include "app/Program.h"
#include "app/TrayMenu.h"
#include "editor/ApplyQuestion.h"
#include "net/NetworkSettingsWindow.h"
#include "net/SendWindow.h"
#include "note/FindNotesWindow.h"
#include "note/NoteColor.h"
#include "note/NoteHost.h"
#include "note/NoteSurface.h"
#include "note/NoteWindow.h"
#include "note/PeeledNotesWindow.h"
#include "platform/InputMethod.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/TrayIcon.h"
#include "platform/Twips.h"
#include "platform/UnixSignals.h"
#include "store/NoteFile.h"
#include "store/PeeledNotes.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "MemorySocket.h"
#include "SavedNote.h"
#include "ScratchAppState.h"
#include "TopLevels.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

#include <csignal>
#include <memory>

namespace {

NoteRecord record(qint32 left, const QByteArray& text, const QByteArray& visible = "T") {
    NoteRecord r = SavedNote(left, 900, "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 " + text + "\\par}");
    r.visibleFlag = visible;
    return r;
}

// Counts the raise requests: the offscreen platform answers each with a warning.
struct RaiseCounter {
    static inline int raises = 0;
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        raises += text.contains(QLatin1String("raise"));
    });
    RaiseCounter() { raises = 0; }
    ~RaiseCounter() { qInstallMessageHandler(previous); }
};

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_state = std::make_unique<ScratchAppState>(true);
        m_messages.clear();
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; });
    }
    void cleanup() {
        m_focusWindow = nullptr;
        if (m_form && !m_state->shuttingDown)
            m_form->shutDown();
        m_form.reset();
        MessageBox::setHandlerForTesting({});
    }

    void firstStartHasOnlyThePlaceholder() {
        QVERIFY(start());
        QCOMPARE(m_state->noteCount, 0);
        QCOMPARE(m_state->noteWindows.size(), 2);
        QCOMPARE(m_state->noteWindows.at(0)->tag(), Tag::PlaceholderTag());
        QVERIFY(!m_state->noteWindows.at(0)->isVisible() && !m_state->loading);
        QCOMPARE(readFile("Pinora.ini"), QByteArray("[ピノラ]\n開始モード=1\n"));
        QVERIFY(!QFile::exists(m_state->dataFilePath()));
    }

    void restoresThreeNotesWithTheSecondHiddenAndShowsAll() {
        writeFile("Pinora.dat", threeNotes());
        QVERIFY(start());
        QCOMPARE(m_state->noteCount, 3);
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(Tag::NoteIdOf(m_state->noteWindows.at(k)->tag()), k);
            QCOMPARE(m_state->noteWindows.at(k)->isVisible(), k != 2);
        }
        NoteWindow* first = m_state->noteWindows.at(1);
        QCOMPARE(first->textBox()->text(), QStringLiteral("one"));
        QCOMPARE(first->geometry(),
                 QRect(Twips::toPixelsX(1200), Twips::toPixelsY(900), Twips::toPixelsX(3000), Twips::toPixelsY(1500)));
        QCOMPARE(m_state->saveCount, 0); // restoring does not rewrite the file
        QCOMPARE(readFile("Pinora.dat"), threeNotes());

        // 全て表示 shows the hidden one and saves it shown; 全て隠す hides and saves all.
        NoteWindow* hidden = m_state->noteWindows.at(2);
        m_form->trayMenu()->showAll()->trigger();
        QVERIFY(hidden->isVisible() && Tag::GetTagFlag(hidden->tag(), Tag::kVisibleFlag));
        QCOMPARE(saved()->records.at(1).visibleFlag, QByteArray("T"));
        m_form->trayMenu()->hideAll()->trigger();
        QVERIFY(!first->isVisible() && !hidden->isVisible());
        QCOMPARE(saved()->records.at(0).visibleFlag + saved()->records.at(2).visibleFlag, QByteArray("FF"));
    }

    // A damaged file gives its whole notes and no window more; every byte of it is
    // kept aside and the user is told where; the next new note is saved.
    void damagedDataFileRestoresTheWholeNotes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("wholeNotes");
        QTest::newRow("cut inside the third note") << threeNotes().chopped(60) << 2;
        QTest::newRow("count 32767 with three notes")
            << threeNotes().replace(0, 4, QByteArray::fromHex("ff7f0000")) << 3;
    }
    void damagedDataFileRestoresTheWholeNotes() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, wholeNotes);
        writeFile("Pinora.dat", bytes);
        QVERIFY(start());
        QCOMPARE(m_state->noteCount, wholeNotes);
        QCOMPARE(topLevels<NoteWindow>().size(), wholeNotes + 1); // and the placeholder
        QCOMPARE(m_state->noteWindows.at(2)->textBox()->text(), QStringLiteral("two"));

        QCOMPARE(m_messages.size(), 1);
        const QString kept = QDir(m_state->dir.path()).entryList({"Pinora-damaged-*.dat"}).value(0);
        QVERIFY(!kept.isEmpty() && m_messages.first().contains(kept));
        QVERIFY(m_messages.first().contains(QStringLiteral("%1 枚").arg(wholeNotes)));
        QCOMPARE(readFile(kept), bytes);
        QCOMPARE(readFile("Pinora.dat"), bytes);

        emit m_form->trayIcon()->leftDoubleClick();
        QTest::keyClicks(m_form->editor().textBox(), "new");
        m_form->editor().findChild<QAction*>("createNote")->trigger();
        QVERIFY(saved() && !saved()->damaged);
        QCOMPARE(saved()->count, wholeNotes + 1);
        QVERIFY(saved()->records.at(wholeNotes).textRtf.contains("new"));
        QCOMPARE(readFile(kept), bytes);
    }

    // What a killed save left is cleared at the next start, and nothing else is; notes
    // carried over from a folder the program does not use are told about, and why.
    void startClearsWhatAKilledSaveLeftAndTellsOfCarriedOverNotes() {
        for (const char* name : {"Pinora.dat.saving-k1ll3d", "Pinora.ini.saving-0abc12", "Pinora.dat.backup",
                                 "Pinora-damaged-20261207-101010.dat.saving-zz09aa", "Pinora-my.dat.saving-long",
                                 "Other.dat.saving-abcdef"})
            writeFile(name, "x");
        QVERIFY(start("/media/usb/Pinora/"));
        QCOMPARE(QDir(m_state->dir.path()).entryList({"*.*.*"}, QDir::Files),
                 (QStringList{"Other.dat.saving-abcdef", "Pinora-my.dat.saving-long", "Pinora.dat.backup"}));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains("/media/usb/Pinora/ にはファイルを書き込めない"));
        QVERIFY(m_messages.first().contains(m_state->appDir));
    }
    void carriedOverFromAnInstalledCopy() {
        QVERIFY(start("/home/u/.local/bin/", AppDir::Choice::Reason::InstalledCopy));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains("/home/u/.local/bin/ はインストールされたプログラムの場所なので"));
        QVERIFY(!m_messages.first().contains("書き込めない"));
    }

    void settingsSetTheMarks() {
        writeFile("Pinora.ini", "[ピノラ]\r\nドラッグモード=7\r\nドラッグデータ=-16639\r\nポート番号=4000\r\n");
        QVERIFY(start());
        QCOMPARE(std::tuple(m_state->dragMode, m_state->dragDataFormat, m_state->portNumber),
                 std::tuple(7, -16639, 4000));
        TrayMenu& menu = *m_form->trayMenu();
        QVERIFY(menu.dragCopyLogPeel()->isChecked() && menu.dragRichText()->isChecked() &&
                !menu.dragPlainText()->isChecked());
        menu.dragCopyOnly()->trigger();
        QVERIFY(menu.dragCopyOnly()->isChecked() && !menu.dragCopyLogPeel()->isChecked());
        menu.dragPlainText()->trigger();
        const QByteArray ini = readFile("Pinora.ini");
        QVERIFY(ini.contains("ドラッグモード=2\r\n") && ini.contains("ドラッグデータ=1\r\n"));
        QVERIFY(ini.contains("スタートアップ登録=0\r\n"));
    }

    void singleClickRaisesDoubleClickOpensTheEditor() {
        writeFile("Pinora.dat", DataFileOf({record(1200, "one")}));
        QVERIFY(start());
        QTRY_VERIFY(!m_form->clickTimer()->isActive()); // the tick after start-up
        NoteWindow* note = m_state->noteWindows.at(1);
        note->hide(); // hidden for now: the flag stays "T"
        emit m_form->trayIcon()->leftButtonDown();
        QVERIFY(m_form->clickTimer()->isActive());
        emit m_form->trayIcon()->leftDoubleClick();
        QVERIFY(!m_form->clickTimer()->isActive());
        QVERIFY(m_form->hasEditor() && m_form->editor().isVisible());
        QTest::qWait(400);
        QVERIFY(!note->isVisible()); // the double click dropped the single click
        emit m_form->trayIcon()->leftButtonDown();
        QTRY_VERIFY(note->isVisible());
    }

    // The tray's click raises the notes again; when nothing changed since the last
    // time, the window system is not asked for anything, and a note hidden for the
    // moment brings the full pass back.
    void raisingAgainWithNothingChangedAsksNothing() {
        writeFile("Pinora.dat", DataFileOf({record(1200, "one"), record(6000, "two")}));
        QVERIFY(start());
        NoteWindow* first = m_state->noteWindows.at(1);
        QTRY_VERIFY(QGuiApplication::focusWindow());
        first->activateWindow();
        QTRY_COMPARE(QGuiApplication::focusWindow(), first->windowHandle());
        RaiseCounter counter;
        m_form->raiseAllNotes(); // the focus moved since the last pass: a full one
        const int full = counter.raises;
        QVERIFY(full >= 2);
        QCOMPARE(QGuiApplication::focusWindow(), first->windowHandle());
        m_form->raiseAllNotes();
        QCOMPARE(counter.raises, full);
        first->hide(); // for the moment
        m_form->raiseAllNotes();
        QVERIFY(first->isVisible() && counter.raises > full);
    }

    // While another program has the focus, a pass activates the last note; until
    // the focus gets there another pass asks nothing, but a click on the tray or a
    // change of focus does.
    void aFocusStillOnItsWayIsNoChange() {
        writeFile("Pinora.dat", DataFileOf({record(1200, "one"), record(6000, "two")}));
        m_focusWindow = [] { return nullptr; };
        QVERIFY(start());
        RaiseCounter counter;
        m_form->raiseAllNotes(); // as the tick after start-up does
        QCOMPARE(counter.raises, 0);
        emit m_form->trayIcon()->leftButtonDown();
        m_form->raiseAllNotes();
        const int pass = counter.raises;
        QVERIFY(pass >= 2);
        m_form->raiseAllNotes();
        QCOMPARE(counter.raises, pass);
        emit qGuiApp->focusWindowChanged(nullptr);
        m_form->raiseAllNotes();
        QCOMPARE(counter.raises, 2 * pass);
    }

    void exitAndSigtermShutDown_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("終了 in the tray menu") << 0;
        QTest::newRow("SIGTERM") << 1;
        QTest::newRow("SIGTERM while a note's menu is open") << 2;
    }
    void exitAndSigtermShutDown() {
        QFETCH(int, how);
        writeFile("Pinora.dat", DataFileOf({record(1200, "one")}));
        const QByteArray data = readFile("Pinora.dat");
        QVERIFY(start());
        QPointer<NoteWindow> note = m_state->noteWindows.at(1).data();
        QSignalSpy finished(m_form.get(), &Program::finished);
        UnixSignals unixSignals;
        connect(&unixSignals, &UnixSignals::received, m_form.get(), &Program::shutDown);
        if (how == 0)
            m_form->trayMenu()->exit()->trigger();
        if (how == 1)
            ::raise(SIGTERM);
        if (how == 2) { // the menu waits in its own loop
            QTimer::singleShot(100, [] { ::raise(SIGTERM); });
            QTest::mousePress(note->mouseSurface(), Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        }
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(m_state->shuttingDown && m_state->noteWindows.isEmpty());
        QVERIFY(note && !note->isVisible());
        QVERIFY(readFile("Pinora.ini").contains("開始モード=0\n"));
        QCOMPARE(readFile("Pinora.dat"), data); // nothing is saved at shutdown
        m_form.reset();
        m_state.reset(); // the owner of the note windows
        QVERIFY(!note);
    }

    // Unsaved text in the editor and its question open: 終了 waits for the answer, and
    // 適用 creates the note and ends the program (キャンセル and 破棄 are answered in the
    // end-to-end test).
    void exitWhileTheQuestionIsAlreadyOpenUsesIt() {
        QVERIFY(start());
        EditorWindow& editor = m_form->editor();
        emit m_form->trayIcon()->leftDoubleClick();
        QTest::keyClicks(editor.textBox(), "typed");
        editor.close(); // the question opens and waits for an answer without blocking
        QVERIFY(editor.applyQuestion() && editor.applyQuestion()->isVisible());
        QSignalSpy finished(m_form.get(), &Program::finished);
        QTimer::singleShot(50, [&editor] { editor.applyQuestion()->button(ApplyQuestion::Answer::Apply)->click(); });
        m_form->trayMenu()->exit()->trigger();
        QCOMPARE(finished.count(), 1); // the answer answered the exit too
        QCOMPARE(saved()->count, 1);
        QVERIFY(saved()->records.at(0).textRtf.contains("typed"));
    }

    // The port from the settings is bound before the notes come back, changed from the
    // tray's ネットワーク設定, and at shutdown the socket closes first; a port text that
    // is no port is then not applied, and nobody is asked about it.
    void theNetworkFromStartToShutdown() {
        writeFile("Pinora.ini",
                  QStringLiteral("[ピノラ]\nポート番号=02001\n受信=1\n受信するコンピュータ=GAMMA,BETA\n").toUtf8());
        writeFile("Pinora.dat", DataFileOf({record(1200, "one")}));
        QVERIFY(start());
        QCOMPARE(m_socket->bindings, QList<quint16>{2001});
        QCOMPARE(m_browser->published, 2001);

        // Whose notes are taken, as saved; changed in the same window, saved, and a
        // computer that takes nobody's notes is not announced.
        m_form->trayMenu()->networkSettings()->trigger();
        NetworkSettingsWindow* form = m_form->networkSettings();
        QVERIFY(form->receiveFromChosen()->isChecked() && form->chosenList()->isEnabled());
        QStringList shown;
        for (int i = 0; i < form->chosenList()->count(); ++i)
            shown << form->chosenList()->item(i)->text() +
                         (form->chosenList()->item(i)->checkState() == Qt::Checked ? "+" : "");
        QCOMPARE(shown, (QStringList{"ALPHA", "BETA+", "GAMMA+"})); // GAMMA is away, still chosen
        form->chosenList()->item(0)->setCheckState(Qt::Checked);
        form->receiveFromNobody()->setChecked(true);
        QVERIFY(!form->chosenList()->isEnabled());
        form->close();
        QCOMPARE(m_browser->published, 0);
        QVERIFY(ini().contains("受信=2") && ini().contains("受信するコンピュータ=ALPHA,BETA,GAMMA"));
        m_form->trayMenu()->networkSettings()->trigger();
        form->receiveFromEveryone()->setChecked(true);
        form->portField()->setText("03000");
        form->close();
        QCOMPARE(m_browser->published, 3000);
        QCOMPARE(m_state->receiveMode, AppState::Receiving::FromEveryone);
        QCOMPARE(m_socket->bindings, (QList<quint16>{2001, 2001, 3000}));
        QVERIFY(ini().contains("ポート番号=03000"));
        // A port in use: the port of until now is taken again, and kept in the settings.
        m_socket->portsInUse = {4000};
        m_form->trayMenu()->networkSettings()->trigger();
        form->portField()->setText("4000");
        form->close();
        QCOMPARE(m_socket->bindings.mid(3), (QList<quint16>{4000, 3000}));
        QVERIFY(m_socket->bound);
        QCOMPARE(m_state->portNumber, 3000);
        QVERIFY(ini().contains("ポート番号=03000"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains("4000") && m_messages.first().contains("ポート 3000 で受け取ります"));
        m_messages.clear();

        NoteWindow* note = m_state->noteWindows.at(1);
        note->menu()->findChild<QAction*>("send")->trigger();
        QVERIFY(m_form->compForm() && m_form->compForm()->isVisible());
        QCOMPARE(m_state->noteToSend.data(), note);
        m_form->trayMenu()->networkSettings()->trigger();
        form->portField()->setText("x");
        m_form->shutDown();
        QVERIFY(m_messages.isEmpty() && !m_socket->bound && !m_form->compForm());
        QVERIFY(ini().contains("ポート番号=03000"));
    }

    // A peeled note comes back whole from はがした付箋紙 (text, colour, size, place,
    // written time; a new slot), saved, and leaves the list; 完全に削除 asks first.
    // The list tells notes apart: written and peeled to the second, a white note's
    // colour on a white list.
    void peeledNotesComeBackWhole() {
        NoteRecord blue = record(6000, "two");
        blue.backColor = NoteColor::Blue;
        blue.width = 4500;
        NoteRecord white = record(1200, "one");
        white.backColor = NoteColor::White;
        writeFile("Pinora.dat", DataFileOf({white, blue}));
        QVERIFY(start());
        for (qint32 slot : {2, 1})
            m_state->noteWindows.at(slot)->menu()->findChild<QAction*>("peelWithoutLog")->trigger();
        QCOMPARE(saved()->count, 0);
        NoteRecord kept = PeeledNotes::load(m_state->peeledNotesPath(), m_state->now()).notes.at(0).record;
        QVERIFY(kept.textRtf.contains("two"));
        QCOMPARE(std::tuple(kept.left, kept.top, kept.width, kept.height, kept.backColor, kept.createdAt),
                 std::tuple(blue.left, blue.top, blue.width, blue.height, blue.backColor, blue.createdAt));

        m_form->trayMenu()->peeledNotes()->trigger();
        auto* form = topLevels<PeeledNotesWindow>().value(0);
        QVERIFY(form && form->isVisible());
        QCOMPARE(form->list()->count(), 2);
        QVERIFY(form->list()->item(0)->text().startsWith("one")); // newest first
        const QString when = QStringLiteral("\n作成 04/07/01 09:15:00　はがした日時 %1 \\d\\d:\\d\\d:\\d\\d$")
                                 .arg(m_state->now().toString(QStringLiteral("yy/MM/dd")));
        QVERIFY(QRegularExpression(when).match(form->list()->item(0)->text()).hasMatch());
        const QImage swatch = form->list()->item(0)->icon().pixmap(16).toImage();
        QVERIFY(swatch.pixelColor(8, 8) == Qt::white && swatch.pixelColor(0, 0) != Qt::white);
        form->list()->setCurrentRow(1);
        QVERIFY(form->preview()->toPlainText().contains("two"));
        QTest::mouseClick(form->restoreButton(), Qt::LeftButton);
        QCOMPARE(saved()->count, 1);
        kept.index = 1;
        QCOMPARE(saved()->records.at(0), kept); // the note as it was peeled, in slot 1 of the file
        QVERIFY(m_state->noteWindows.at(3) && m_state->noteWindows.at(3)->isVisible());
        QCOMPARE(form->list()->count(), 1);

        // 完全に削除: "no" keeps it, "yes" removes it for good.
        form->list()->setCurrentRow(0);
        QTest::mouseClick(form->deleteButton(), Qt::LeftButton);
        QCOMPARE(form->list()->count(), 1);
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; }, true);
        QTest::mouseClick(form->deleteButton(), Qt::LeftButton);
        QCOMPARE(form->list()->count(), 0);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY(PeeledNotes::load(m_state->peeledNotesPath(), m_state->now()).notes.isEmpty());
        QCOMPARE(saved()->count, 1);
        QVERIFY(closeWithEscape(form));
    }

    // The window acts on the notes it shows, whatever the file did meanwhile: notes
    // peeled while it is open push the oldest of 500 out of the file, the list follows
    // with the chosen note still chosen, and 元に戻す and 完全に削除 take exactly the
    // notes chosen, also before the list has caught up.
    void peeledNotesWindowFollowsTheFile() {
        QList<PeeledNote> old;
        for (int i = 0; i < PeeledNotes::kKeepAtLeast; ++i)
            old << PeeledNote{record(1200, "old " + QByteArray::number(i)), m_state->now().addDays(-100).addSecs(i)};
        writeFile(PeeledNotes::kFileName, PeeledNotes::encode(old));
        writeFile("Pinora.dat", DataFileOf({record(1200, "one"), record(6000, "two")}));
        QVERIFY(start());
        m_form->trayMenu()->peeledNotes()->trigger();
        auto* form = topLevels<PeeledNotesWindow>().value(0);
        const auto chosenText = [form] { return form->list()->selectedItems().value(0)->text().section('\n', 0, 0); };
        QCOMPARE(chosenText(), QStringLiteral("old 499"));
        const auto peel = [this](qint32 slot) {
            m_state->noteWindows.at(slot)->menu()->findChild<QAction*>("peelWithoutLog")->trigger();
        };
        peel(1);
        QTRY_VERIFY(form->list()->item(0)->text().startsWith("one"));
        QCOMPARE(std::pair(form->list()->count(), chosenText()), std::pair(500, QStringLiteral("old 499")));

        peel(2);
        QTest::mouseClick(form->restoreButton(), Qt::LeftButton);
        QCOMPARE(saved()->count, 1);
        QVERIFY(saved()->records.at(0).textRtf.contains(" old 499\\par"));
        QList<PeeledNote> kept = PeeledNotes::load(m_state->peeledNotesPath(), m_state->now()).notes;
        QCOMPARE(kept.size(), 499); // old 2 to 498, one, two
        QVERIFY(kept.first() == old.at(2) && !kept.contains(old.last()) && kept.last().record.textRtf.contains("two"));

        QTRY_VERIFY(form->list()->item(0)->text().startsWith("two"));
        form->list()->clearSelection();
        for (int row : {3, 5}) // old 497 and old 495
            form->list()->item(row)->setSelected(true);
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; }, true);
        QTest::mouseClick(form->deleteButton(), Qt::LeftButton);
        kept = PeeledNotes::load(m_state->peeledNotesPath(), m_state->now()).notes;
        QCOMPARE(kept.size(), 497);
        QVERIFY(!kept.contains(old.at(497)) && !kept.contains(old.at(495)) && kept.contains(old.at(496)));
    }

    // 付箋紙を探す: what a Japanese reader does not tell apart is folded away; a hidden
    // note found and chosen is shown and saved as shown, a note hidden for the session
    // is marked as such and shown too; Escape closes the window.
    void findingANote_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("katakana finds half-width kana and hiragana")
            << QStringLiteral("カタカナ") << QStringList{"ｶﾀｶﾅ memo", "かたかな"};
        QTest::newRow("full-width letters find ASCII, any case")
            << QStringLiteral("ａｂｃ") << QStringList{"ABC（非表示）", "abc（一時的に非表示）"};
        QTest::newRow("nothing typed, nothing listed") << QStringLiteral("  ") << QStringList{};
    }
    void findingANote() {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        writeFile("Pinora.dat",
                  DataFileOf({record(1200, "\\u65398?\\u65408?\\u65398?\\u65413? memo"), record(6000, "ABC", "F"),
                              record(9000, "\\u12363?\\u12383?\\u12363?\\u12394?"), record(12000, "abc")}));
        QVERIFY(start());
        m_state->noteWindows.at(4)->menu()->findChild<QAction*>("hideForNow")->trigger();
        m_form->trayMenu()->findNotes()->trigger();
        auto* form = topLevels<FindNotesWindow>().value(0);
        QVERIFY(form && form->isVisible());
        form->searchField()->setText(typed);
        QStringList listed;
        for (int i = 0; i < form->list()->count(); ++i)
            listed << form->list()->item(i)->text();
        QCOMPARE(listed, found);
        if (!found.contains(QStringLiteral("ABC（非表示）")))
            return;
        for (int row : {1, 0})
            QTest::mouseClick(form->list()->viewport(), Qt::LeftButton, {},
                              form->list()->visualItemRect(form->list()->item(row)).center());
        QVERIFY(m_state->noteWindows.at(4)->isVisible() && m_state->noteWindows.at(2)->isVisible());
        QCOMPARE(saved()->records.at(1).visibleFlag, QByteArray("T"));
        QVERIFY(closeWithEscape(form));
    }

private:
    static QByteArray threeNotes() {
        return DataFileOf({record(1200, "one"), record(6000, "two", "F"), record(9000, "three")});
    }
    bool start(const QString& notesCopiedFrom = {},
               AppDir::Choice::Reason because = AppDir::Choice::Reason::NotWritable) {
        Program::Services services;
        services.notesCopiedFrom = notesCopiedFrom;
        services.notesCopiedBecause = because;
        services.makeTrayIcon = [] { return std::make_unique<TrayIcon>(); };
        services.sleep = [](int) {};
        services.editor.inputMethod = &m_noInputMethod;
        services.makeHostBrowser = [this] {
            auto browser = std::make_unique<FixedHostBrowser>();
            browser->names = {"ALPHA", "BETA"};
            m_browser = browser.get();
            return browser;
        };
        services.focusWindow = m_focusWindow;
        services.makeSocket = [this](HostBrowser&) {
            auto socket = std::make_unique<MemorySocket>();
            m_socket = socket.get();
            return socket;
        };
        m_form = std::make_unique<Program>(*m_state, services);
        return m_form->start();
    }
    std::optional<NoteFile::Contents> saved() const { return NoteFile::decode(readFile("Pinora.dat")); }
    QString ini() const { return QString::fromUtf8(readFile("Pinora.ini")); }
    QByteArray readFile(const QString& name) const { return readBytes(m_state->filePath(name)); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        QVERIFY(writeBytes(m_state->filePath(name), bytes));
    }

    std::unique_ptr<ScratchAppState> m_state;
    std::unique_ptr<Program> m_form;
    NoInputMethod m_noInputMethod;
    FixedHostBrowser* m_browser = nullptr;
    MemorySocket* m_socket = nullptr;
    std::function<QWindow*()> m_focusWindow;
    QStringList m_messages;
};

QTEST_MAIN(TestProgram)
#include "TestProgram.moc"

// The real program in a real X server with a tray host: notes come back where they
// were saved, follow the pointer, and the move is in the data file afterwards.
#include "store/NoteFile.h"

#include "PinoraCopy.h"
#include "SavedNote.h"
#include "Settle.h"
#include "WindowManager.h"
#include "X11Windows.h"

#include <QDir>
#include <QFile>
#include <QRect>
#include <QTest>

namespace {

QString run(const QStringList& arguments) {
    return X11Windows::xdotool(arguments);
}

// Clicks (or double-clicks) the first button at a point of the screen.
void clickAt(QPoint at, int times = 1) {
    run({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat", QString::number(times),
         "--delay", "60", "1"});
}

// The note windows of the program that are on the screen, by their geometry.
QList<QRect> noteWindows() {
    QList<QRect> rects;
    for (const QString& id : X11Windows::search({"--class", "Pinora"})) {
        const QRect r = X11Windows::geometry(id);
        if (!X11Windows::isSmall(r)) // not the tray icon
            rects << r;
    }
    std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
    return rects;
}

} // namespace

class TestPinoraE2E : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_windowManager.start());
        m_tray.start(QStringLiteral("trayer"), {"--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                                                "--width", "120", "--heighttype", "pixel", "--height", "24"});
        QVERIFY(m_tray.waitForStarted());
        // The cases hold with the tray or with the program's stand-in for it; the tray
        // is given its time to come up, no more.
        if (!QTest::qWaitFor(
                [] {
                    return !X11Windows::search({"--onlyvisible", "--class", "trayer"}).isEmpty();
                },
                kSettle))
            qInfo("no tray host came up: the program's stand-in for the tray is used");
    }
    void cleanupTestCase() {
        m_tray.kill();
        m_tray.waitForFinished();
    }

    void notesComeBackMoveAndAreSaved() {
        // The example note of the file format, and a second, formatted one.
        const QByteArray second =
            "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
            "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\\viewkind4\\uc1"
            "\\pard\\f0\\fs20 \\'94\\'83\\'82\\'a2\\'95\\'a8\\par \\b\\'8b\\'8d\\'93\\'fb\\b0\\par}";
        // A third one was saved on a monitor that is no longer there.
        const QByteArray saved3 = DataFileOf({SavedNote(1200, 900, "{\\rtf1 a}"), SavedNote(6000, 900, second),
                                              SavedNote(75000, 75000, "{\\rtf1 far}")});
        PinoraCopy pinora;
        QVERIFY(pinora.start(saved3));
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().size(), 3, kSettle);
        QList<QRect> windows = steady(noteWindows);              // placed by the window manager
        QCOMPARE(windows.at(0), QRect(80, 60, 200, 100));        // 1200, 900, 3000 x 1500 twips at 96 dpi
        QCOMPARE(windows.at(1), QRect(400, 60, 200, 100));       // the saved height stays
        QVERIFY(QRect(0, 0, 1280, 800).contains(windows.at(2))); // shown where the screen is
        // Another program gives the second note a size nobody chose, as a window
        // manager may while notes are restored: it shows, no smaller than a note can
        // be, but the data file keeps the size it had.
        QString secondId;
        for (const QString& id : X11Windows::search({"--class", "Pinora"}))
            if (X11Windows::geometry(id) == windows.at(1))
                secondId = id;
        run({"windowsize", secondId, "1", "700"});
        QTRY_COMPARE_WITH_TIMEOUT(X11Windows::geometry(secondId).size(), QSize(40, 700), kSettle);
        QCOMPARE(readBytes(pinora.path("Pinora.dat")), saved3); // and the third's saved place is kept

        // Drag the first note with the pointer by (50, 40).
        run({"mousemove", "150", "100", "sleep", "0.2", "mousedown", "1"});
        for (int step = 1; step <= 5; ++step)
            run({"mousemove", QString::number(150 + 10 * step), QString::number(100 + 8 * step), "sleep", "0.05"});
        run({"sleep", "0.2", "mouseup", "1"});
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().value(0).topLeft(), QPoint(130, 100), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(pinora.saved()->records.value(0).left, 130 * 15, kSettle);

        // Right after the move, pull its lower-right corner: the window manager resizes
        // it, and it stays where it was moved to.
        run({"mousemove", "328", "198", "sleep", "0.2", "mousedown", "1"});
        for (int step = 1; step <= 3; ++step)
            run({"mousemove", QString::number(328 + 10 * step), QString::number(198 + 7 * step), "sleep", "0.1"});
        run({"sleep", "0.3", "mouseup", "1", "sleep", "0.3", "mousemove", "700", "600", "sleep", "0.3"});
        QTRY_VERIFY_WITH_TIMEOUT(noteWindows().value(0).width() > 220, kSettle);
        const QRect resized = noteWindows().at(0);
        QCOMPARE(resized.topLeft(), QPoint(130, 100));
        QTRY_COMPARE_WITH_TIMEOUT(pinora.saved()->records.at(0).width, resized.width() * 15, kSettle);
        const std::optional<NoteFile::Contents> saved = pinora.saved();
        const NoteRecord moved = saved->records.at(0);
        QCOMPARE(std::tuple(moved.left, moved.top, moved.height),
                 std::tuple(130 * 15, 100 * 15, resized.height() * 15));
        // The note shown elsewhere keeps its place, the second its size.
        QCOMPARE(std::tuple(saved->count, saved->records.at(1).width, saved->records.at(1).height,
                            saved->records.at(2).left),
                 std::tuple(3, 3000, 1500, 75000));
        QVERIFY(saved->records.at(1).textRtf.contains("\\'8b\\'8d\\'93\\'fb"));

        // A second start while this one runs ends at once and leaves the settings alone.
        const QByteArray ini = readBytes(pinora.path("Pinora.ini"));
        QVERIFY(ini.contains("開始モード=1"));
        QCOMPARE(QProcess::execute(pinora.path("Pinora"), {}), 0);
        QCOMPARE(readBytes(pinora.path("Pinora.ini")), ini);
        QCOMPARE(noteWindows().size(), 3);
        QVERIFY(pinora.stop());
        QVERIFY(readBytes(pinora.path("Pinora.ini")).contains("開始モード=0"));
    }

    // A copy run from a read-only folder that holds notes starts from a copy of them
    // in the data folder and says so; the originals are not touched.
    void notesBesideAReadOnlyCopyAreCarriedOver() {
        if (QProcess::execute("unshare", {"-m", "true"}) != 0)
            QSKIP("needs a mount namespace (root or CAP_SYS_ADMIN) to make a read-only folder");
        QTemporaryDir readOnly;
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(PINORA_EXECUTABLE), readOnly.filePath("Pinora")));
        // The third note stands where the message comes up, in the middle of the screen.
        const QByteArray notes = DataFileOf({SavedNote(1200, 900, "{\\rtf1 a}"), SavedNote(6000, 900, "{\\rtf1 b}"),
                                             SavedNote(8100, 5250, "{\\rtf1 c}")});
        QVERIFY(writeBytes(readOnly.filePath("Pinora.dat"), notes));

        // The folder is made read-only in a mount namespace of the program's own.
        const QString script = QStringLiteral("mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" "
                                              "\"$0\" && exec \"$0/Pinora\"");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.path());
        QProcess pinora;
        pinora.setProcessEnvironment(env);
        pinora.setProcessChannelMode(QProcess::ForwardedChannels);
        pinora.start("unshare", {"-m", "sh", "-c", script, readOnly.path()});
        QVERIFY(pinora.waitForStarted());
        // The notes where they were saved, and the message that says where they are kept from now on.
        QTRY_VERIFY_WITH_TIMEOUT(noteWindows().contains(QRect(80, 60, 200, 100)) &&
                                     noteWindows().contains(QRect(400, 60, 200, 100)),
                                 kSettle);
        QTRY_VERIFY_WITH_TIMEOUT(!run({"search", "--onlyvisible", "--name", "^ピノラ$"}).isEmpty(), kSettle);
        QCOMPARE(readBytes(home.filePath("pinora/Pinora.dat")), notes);
        // Once the notes have been brought forward, the message stands above every one of them.
        const QStringList stacking = steady(stackingOrder, 1000);
        const QString message = run({"search", "--onlyvisible", "--name", "^ピノラ$"}).trimmed();
        QVERIFY(stacking.contains(message));
        for (const QString& id : X11Windows::search({"--class", "Pinora"}))
            if (id != message && stacking.contains(id))
                QVERIFY2(stacking.indexOf(id) < stacking.indexOf(message), qPrintable(stacking.join(' ')));
        ::kill(pinora.processId(), SIGTERM);
        QVERIFY(pinora.waitForFinished(10000));

        QCOMPARE(readBytes(readOnly.filePath("Pinora.dat")), notes);
        QCOMPARE(QDir(readOnly.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Pinora", "Pinora.dat"}));
    }

    // A stop asked for while hundreds of notes are being built ends the program
    // without saving the half that was built.
    void sigtermDuringStartUpKeepsEveryNote() {
        QList<NoteRecord> records;
        for (int i = 0; i < 400; ++i)
            records << SavedNote(1200 + 15 * i, 900, "{\\rtf1 note " + QByteArray::number(i) + "\\par}");
        const QByteArray notes = DataFileOf(records);
        PinoraCopy pinora;
        QVERIFY(pinora.start(notes));
        QTRY_VERIFY_WITH_TIMEOUT(readBytes(pinora.path("Pinora.ini")).contains("開始モード=1"), kSettle);
        QVERIFY(pinora.stop());
        QCOMPARE(readBytes(pinora.path("Pinora.dat")), notes);
        QVERIFY(readBytes(pinora.path("Pinora.ini")).contains("開始モード=0"));
    }

    void writeANoteFromTheTrayAndEditIt() {
        PinoraCopy pinora;
        QVERIFY(pinora.start());

        // The icon in the tray host: the program's only small window.
        QRect icon;
        QTRY_VERIFY_WITH_TIMEOUT((icon = trayIcon()).isValid(), kSettle);
        icon = steady(trayIcon); // the tray host has finished embedding it
        clickAt(icon.center(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().size(), 1, kSettle); // the editor
        const QRect editor = noteWindows().at(0);
        clickAt({editor.center().x(), editor.bottom() - 40});
        run({"type", "--delay", "30", "hello note"});
        run({"key", "ctrl+n"});
        QTRY_VERIFY_WITH_TIMEOUT(pinora.savedText().contains("hello note"), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().size(), 1, kSettle); // the editor gone, the note there
        const QRect note = noteWindows().at(0);
        QVERIFY(qAbs(note.center().x() - 640) <= 2);
        QVERIFY(qAbs(note.center().y() - 400) <= 40);

        // Double-click the note, add to it, apply: what is typed goes into the editor
        // without a click into it first.
        clickAt(note.center(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().size(), 2, kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("ピノラ"), kSettle); // the editor takes the keys
        run({"key", "ctrl+End"});
        run({"type", "--delay", "30", " more"});
        run({"key", "ctrl+n"});
        QTRY_VERIFY_WITH_TIMEOUT(pinora.savedText().contains("hello note more"), kSettle);
        QCOMPARE(pinora.saved()->count, 1);

        // Exit with unsaved text: the question, titled exactly; cancel keeps the
        // program running, a second exit asks again, and discarding ends it.
        clickAt(icon.center(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(noteWindows().size(), 2, kSettle);
        clickAt({editor.center().x(), editor.bottom() - 40});
        run({"type", "--delay", "30", "unsaved"});
        for (const QPoint button : {QPoint(184, 49), QPoint(112, 49)}) { // キャンセル, then 破棄
            run({"key", "ctrl+q"});
            QString question;
            QTRY_VERIFY_WITH_TIMEOUT(!(question = applyQuestion()).isEmpty(), kSettle);
            QCOMPARE(run({"getwindowname", question}).trimmed(), QStringLiteral("ピノラ：動作確認"));
            clickAt(X11Windows::geometry(question).topLeft() + button);
            QTRY_VERIFY_WITH_TIMEOUT(applyQuestion().isEmpty(), kSettle);
        }
        QVERIFY(pinora.process.waitForFinished(10000));
        QCOMPARE(pinora.process.exitCode(), 0);
        QCOMPARE(pinora.saved()->count, 1);
    }

private:
    static QString applyQuestion() {
        return run({"search", "--onlyvisible", "--name", "動作確認"}).section('\n', 0, 0);
    }
    static QString activeWindowName() { return X11Windows::xdotool({"getactivewindow", "getwindowname"}).trimmed(); }
    static QRect trayIcon() {
        for (const QString& id : X11Windows::search({"--class", "Pinora"})) {
            if (const QRect r = X11Windows::geometry(id); X11Windows::isSmall(r))
                return r;
        }
        return {};
    }
    // The managed windows from the bottom up, as decimal ids (xdotool's way of naming them).
    static QStringList stackingOrder() {
        QStringList ids;
        const QString line = X11Windows::run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
        for (const QString& word : line.section('#', 1).split(',', Qt::SkipEmptyParts))
            ids << QString::number(word.trimmed().toULongLong(nullptr, 16));
        return ids;
    }

    WindowManager m_windowManager;
    QProcess m_tray;
};

QTEST_GUILESS_MAIN(TestPinoraE2E)
#include "TestPinoraE2E.moc"

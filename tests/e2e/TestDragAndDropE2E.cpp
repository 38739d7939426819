// Dragging a note's content onto another note with the real pointer, in a real X
// server under a window manager: what becomes of the source in each drag mode,
// a drag let go over the desktop, text dragged in from another program and from the editor.
#include "store/NoteFile.h"

#include "PinoraCopy.h"
#include "SavedNote.h"
#include "Settle.h"
#include "WindowManager.h"
#include "X11Windows.h"

#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

namespace {

void xdotool(const QStringList& arguments) {
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

// Presses at from with Shift held, moves in steps and lets go at to.
QStringList dragArguments(const QPoint& from, const QPoint& to, bool shift) {
    QStringList args{"mousemove", QString::number(from.x()), QString::number(from.y()), "sleep", "0.2"};
    args << (shift ? QStringList{"keydown", "shift"} : QStringList()) << QStringList{"mousedown", "1"};
    for (int step = 1; step <= 8; ++step) {
        const QPoint p = from + (to - from) * step / 8;
        args << QStringList{"mousemove", QString::number(p.x()), QString::number(p.y()), "sleep", "0.05"};
    }
    return args << QStringList{"sleep", "0.3", "mouseup", "1"}
                << (shift ? QStringList{"keyup", "shift"} : QStringList());
}

int visibleNoteWindows() {
    return int(X11Windows::search({"--class", "Pinora"}).size());
}

NoteRecord note(qint32 leftPixels, const QByteArray& text) {
    return SavedNote(leftPixels * 15, 150 * 15,
                     "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs24 " + text + "\\par}");
}

// A window of another program that drags plain text away when pressed, offering to
// move it as a word processor does, and keeps what the drop made of it.
class TextSource : public QLabel {
public:
    TextSource()
        : QLabel(QStringLiteral("drag me")) {}
    Qt::DropAction result = Qt::IgnoreAction;

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setText(QStringLiteral("from another program"));
        drag->setMimeData(data);
        result = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    }
};

} // namespace

class TestDragAndDropE2E : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_windowManager.start()); }

    void dragModes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("dropAt");
        QTest::addColumn<bool>("sourceStays");
        QTest::addColumn<bool>("logged");
        const QPoint target(560, 170);
        const QPoint desktop(560, 600);
        QTest::newRow("1: copy, log and peel") << 1 << target << false << true;
        QTest::newRow("2: copy only") << 2 << target << true << false;
        QTest::newRow("1, let go over the desktop") << 1 << desktop << true << false;
    }
    void dragModes() {
        QFETCH(int, mode);
        QFETCH(QPoint, dropAt);
        QFETCH(bool, sourceStays);
        QFETCH(bool, logged);
        PinoraCopy pinora;
        start(pinora, mode);
        xdotool(dragArguments(QPoint(200, 170), dropAt, true));
        const bool dropped = dropAt.y() < 300;
        auto targetHasTheSource = [&pinora] {
            const QList<QByteArray> texts = savedTexts(pinora);
            return std::any_of(texts.begin(), texts.end(), [](const QByteArray& text) {
                return text.contains("target note") && text.contains("source note");
            });
        };
        if (dropped)
            QTRY_VERIFY_WITH_TIMEOUT(targetHasTheSource(), kSettle);
        // Hidden at once, peeled a second later; or left where it was.
        QTRY_COMPARE_WITH_TIMEOUT(visibleNoteWindows(), sourceStays ? 3 : 2, kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(savedTexts(pinora).size(), sourceStays ? 2 : 1, kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(pinora.path("Pinora.log")).contains("source note"), logged, kSettle);
        QCOMPARE(targetHasTheSource(), dropped);
        QVERIFY(pinora.stop());
    }

    void textFromAnotherProgramIsAppended() {
        PinoraCopy pinora;
        start(pinora, 2);
        TextSource source;
        source.setGeometry(150, 500, 200, 60);
        source.show();
        QVERIFY(QTest::qWaitForWindowExposed(&source, kSettle));
        steady([&source] { return source.frameGeometry(); });
        // The drag runs in this process's event loop, so the pointer is driven alongside it.
        QProcess pointer;
        pointer.start(QStringLiteral("xdotool"), dragArguments(QPoint(250, 530), QPoint(560, 170), false));
        QTRY_VERIFY_WITH_TIMEOUT(savedTexts(pinora).value(1).contains("from another program"), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(pointer.state(), QProcess::NotRunning, kSettle);
        QCOMPARE(source.result, Qt::CopyAction); // a note takes a copy: the source keeps its text
        QVERIFY(pinora.stop());
    }

    void editorTextDroppedOnceOnly() {
        // The editor's selection dragged onto a note lands there once; the plain clicks
        // on notes that follow only click (a drag left running dropped again on them).
        PinoraCopy pinora;
        start(pinora, 2);
        xdotool({"mousemove", "200", "170", "click", "--repeat", "2", "--delay", "80", "1"});
        QStringList editors;
        QTRY_VERIFY_WITH_TIMEOUT(!(editors = X11Windows::search({"--name", "^ピノラ$"})).isEmpty(), kSettle);
        QTRY_COMPARE_WITH_TIMEOUT(X11Windows::xdotool({"getactivewindow"}).trimmed(), editors.first(), kSettle);
        const QPoint onText =
            steady([&editors] { return X11Windows::geometry(editors.first()); }).topLeft() + QPoint(40, 93);
        xdotool({"key", "ctrl+a"});
        xdotool(dragArguments(onText, QPoint(560, 170), false));
        auto sourceTextsSaved = [&pinora] {
            const QByteArray target = savedTexts(pinora).value(1);
            return target.contains("target note") ? int(target.count("source note")) : -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(sourceTextsSaved(), 1, kSettle);
        for (const char* x : {"560", "200", "560"})
            xdotool({"mousemove", x, "170", "click", "1", "sleep", "0.4"});
        QTest::qWait(1000);
        QCOMPARE(sourceTextsSaved(), 1);
        QVERIFY(pinora.stop());
    }

private:
    void start(PinoraCopy& pinora, int mode) {
        QVERIFY(pinora.start(DataFileOf({note(150, "source note"), note(500, "target note")}),
                             QStringLiteral("[ピノラ]\nドラッグモード=%1\nドラッグデータ=1\n").arg(mode).toUtf8()));
        // Two notes and the tray's stand-in window.
        QTRY_COMPARE_WITH_TIMEOUT(visibleNoteWindows(), 3, kSettle);
        steady([] {
            QList<QRect> places;
            for (const QString& id : X11Windows::search({"--class", "Pinora"}))
                places << X11Windows::geometry(id);
            return places;
        });
    }
    static QList<QByteArray> savedTexts(const PinoraCopy& pinora) {
        QList<QByteArray> texts;
        if (const std::optional<NoteFile::Contents> saved = pinora.saved()) {
            for (qint32 i = 0; i < saved->count; ++i)
                texts << saved->records.at(i).textRtf;
        }
        return texts;
    }

    WindowManager m_windowManager;
};

QTEST_MAIN(TestDragAndDropE2E)
#include "TestDragAndDropE2E.moc"

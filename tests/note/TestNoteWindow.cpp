#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteLayout.h"
#include "note/NoteSurface.h"
#include "note/NoteWindow.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/DataFile.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "RtfFiles.h"
#include "SavedNote.h"
#include "ScratchAppState.h"
#include "TopLevels.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

QByteArray rtfWithSizes(const QByteArray& body) {
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
           "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\\viewkind4\\uc1\\pard\\f0\\fs20 " +
           body + "}";
}

// How high a line in that size of the window font stands, in pixels.
double lineFontHeight(qreal points) {
    return QFontMetricsF(NoteFont(QStringLiteral("ＭＳ ゴシック"), points)).height();
}

} // namespace

class TestNoteWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { m_state = std::make_unique<ScratchAppState>(); }
    void cleanup() {
        qDeleteAll(m_notes);
        m_notes.clear();
    }

    void fitCountsTheEmptyLastLineAndTheLargestSize() {
        NoteWindow* note = makeNote(1, "T%F");
        // Line 1 mixes 10 and 20 point text; line 2 is empty after the final break.
        note->textBox()->setTextRTF(rtfWithSizes("small \\fs40 big\\fs20 small\\par\\par "));
        note->resize(400, 50);
        StretchTextBox(*note);
        FitNoteToContent(*m_state, *note, false);
        QCOMPARE(note->textBox()->lineCount(), 2);
        const double lines = (lineFontHeight(20) + lineFontHeight(10)) * Twips::perPixelY();
        QVERIFY(note->textBox()->height() >= Twips::toPixelsY(2 * Twips::perPixelY() + lines));
        QCOMPARE(note->height(), 50); // the window keeps its height without resizeWindow
        QCOMPARE(note->textBox()->selStart(), note->textBox()->textLength());
        StretchTextBox(*note);
        QCOMPARE(note->textBox()->geometry(), QRect(0, 0, 400, 50));
    }

    // Whatever a note holds, the note built from the editor or refitted by a drop
    // shows all of it from its top: the box's own view has nothing left to scroll.
    // Over our RTF files, the shared fixtures where present, and what users paste:
    // LibreOffice's spaced paragraphs, a list and a table; a long word; Japanese.
    void fittedNotesShowEverything() {
        QList<QByteArray> documents{
            "",
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Liberation Serif;}}\\pard\\sa283\\f0\\fs24 "
            "A paragraph of a document, long enough to wrap in a note.\\par"
            "\\pard\\li720\\fi-360\\sa283{\\pntext\\'95\\tab}one\\par{\\pntext\\'95\\tab}two\\par"
            "\\trowd\\cellx1000\\cellx2000\\cellx3000 \\intbl a\\cell b\\cell c\\cell\\row"
            "\\trowd\\cellx1000\\cellx2000\\cellx3000 \\intbl d\\cell e\\cell f\\cell\\row"
            "\\pard\\sb400\\sl480\\slmult1 after the table\\par}",
            "{\\rtf1 https://example.org/" + QByteArray(600, 'x') + "\\par}",
            "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}}\\f0\\fs28 " +
                QByteArray("\\'93\\'fa\\'96\\'7b\\'8c\\'ea").repeated(30) + "\\par\\par}"};
        documents << rtfFiles();
        for (const QByteArray& rtf : documents) {
            for (const bool written : {true, false}) {
                NoteWindow* note = makeNote(1, "T%F");
                note->setGeometry(20, 20, 259, 46);
                if (written) { // from the editor
                    note->textBox()->setTextRTF(rtf);
                    ShowWrittenNote(*m_state, *note);
                } else { // dropped onto a short note
                    note->textBox()->setTextRTF("{\\rtf1 short\\par}");
                    note->textBox()->insertRTF(rtf);
                    ShowDroppedOnNote(*m_state, *note);
                }
                QVERIFY(QTest::qWaitForWindowExposed(note));
                QCoreApplication::processEvents();
                const RichTextBox& box = *note->textBox();
                QVERIFY2(box.verticalScrollBar()->maximum() == 0 && box.textOffset() >= 0, rtf.left(60));
                QVERIFY2(note->height() >= box.height() && box.height() >= box.document()->size().height(),
                         rtf.left(60));
                m_notes.removeOne(note);
                delete note;
            }
        }
    }

    void resizeSavesOncePerEventButNotWhileLoadingOrFitting() {
        NoteWindow* note = shownNote(QRect(100, 100, 200, 100));
        const int before = m_state->saveCount;
        note->resize(300, 120);
        QCOMPARE(m_state->saveCount, before + 1);
        QCOMPARE(note->textBox()->geometry(), QRect(0, 0, 300, 120));
        QCOMPARE(note->mouseSurface()->geometry(), QRect(0, 0, 300, 120));

        m_state->loading = true;
        note->resize(310, 130);
        QCOMPARE(m_state->saveCount, before + 1);
        m_state->loading = false;
        FitNoteToContent(*m_state, *note, true); // its own resize does not save
        QCOMPARE(m_state->saveCount, before + 1);

        // The window system gives the note a size by itself: shown, not saved.
        note->resize(300, 120);
        const int saves = m_state->saveCount;
        note->windowHandle()->resize(360, 700);
        QTRY_COMPARE(note->size(), QSize(360, 700));
        QCOMPARE(std::pair(m_state->saveCount, note->savedGeometryTwips().size()),
                 std::pair(saves, QSizeF(Twips::fromPixelsX(300), Twips::fromPixelsY(120))));

        // A note 1 pixel wide (a size nobody chose, saved by an earlier version) is
        // shown and kept no smaller than a note can usefully be.
        note->moveTwips(1500, 1500, 15, 13125);
        QCOMPARE(std::pair(note->size(), note->savedGeometryTwips().size()),
                 std::pair(QSize(40, 875), QSizeF(600, 13125)));
    }

    void showNoteCentresOnceAndClearsTheFlag() {
        NoteWindow* note = makeNote(1, "T%T");
        note->resize(200, 100);
        note->move(3, 4);
        ShowNote(*note);
        QVERIFY(note->isVisible() && !Tag::GetTagFlag(note->tag(), Tag::kPlaceOnShowFlag));
        const QRect screen = note->screen()->geometry();
        QCOMPARE(note->geometry(), QRect(screen.width() / 2 - 100, screen.height() / 2 - 50, 200, 100));
        note->move(10, 20);
        ShowNote(*note);
        QCOMPARE(note->pos(), QPoint(10, 20));

        NoteWindow* hidden = makeNote(2, "F%T");
        hidden->move(3, 4);
        ShowNote(*hidden);
        QVERIFY(!hidden->isVisible() && Tag::GetTagFlag(hidden->tag(), Tag::kPlaceOnShowFlag));
        QCOMPARE(hidden->pos(), QPoint(3, 4));

        // A note that no screen shows comes onto the nearest one, without a save, and
        // the data file keeps its place until the note is moved.
        const int saves = m_state->saveCount;
        note->move(5000, 5000);
        ShowNote(*note);
        const QRect shown = note->geometry();
        QVERIFY(note->screen()->availableGeometry().contains(shown));
        QCOMPARE(m_state->saveCount, saves);
        const QPoint far(qRound(Twips::fromPixelsX(5000)), qRound(Twips::fromPixelsY(5000)));
        QCOMPARE(savedLeftTop(), far);
        ShowNote(*note); // shown again, by the tray: still where the file says
        QCOMPARE(note->geometry(), shown);
        QCOMPARE(savedLeftTop(), far);
        // A screen shows the saved place again: the note goes back to it.
        note->keepSavedPlace(QPointF(Twips::fromPixelsX(30), Twips::fromPixelsY(40)));
        KeepNotesOnScreens(*m_state);
        QVERIFY(note->pos() == QPoint(30, 40) && !note->savedPlace());
        // Moved by the user, it is saved where it shows.
        note->move(5000, 5000);
        ShowNote(*note);
        const QPoint at = note->geometry().center();
        mouse(note, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, at);
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at + QPoint(-5, -5));
        mouse(note, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, at + QPoint(-5, -5));
        const QPoint moved = note->pos();
        QCOMPARE(savedLeftTop(), QPoint(qRound(Twips::fromPixelsX(moved.x())), qRound(Twips::fromPixelsY(moved.y()))));
    }

    void placeOnAScreen_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("on the left screen") << QRect(100, 100, 200, 100) << QPoint(100, 100);
        QTest::newRow("partly on a screen stays") << QRect(1200, 700, 200, 100) << QPoint(1200, 700);
        QTest::newRow("in the gap, nearer the right") << QRect(1300, 100, 100, 100) << QPoint(1400, 100);
        QTest::newRow("far below and right") << QRect(5000, 5000, 200, 100) << QPoint(3080, 1050);
        QTest::newRow("far up and left") << QRect(-900, -900, 200, 100) << QPoint(0, 0);
        QTest::newRow("larger than the screen") << QRect(-5000, 100, 2000, 100) << QPoint(0, 100);
    }
    void placeOnAScreen() {
        QFETCH(QRect, window);
        const QList<QRect> screens{QRect(0, 0, 1280, 800), QRect(1400, 0, 1880, 1150)};
        QTEST(PlaceOnAScreen(window, screens), "expected");
        QCOMPARE(PlaceOnAScreen(window, {}), window.topLeft());
    }

    // A left drag moves the note by the pointer's travel and its lower-right edge
    // resizes it; each saves once, on the release.
    void dragMovesAndEdgesResize() {
        NoteWindow* note = shownNote(QRect(100, 100, 200, 100));
        const int before = m_state->saveCount;
        mouse(note, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {150, 150});
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {160, 145});
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {180, 155});
        QCOMPARE(note->pos(), QPoint(130, 105));
        QCOMPARE(m_state->saveCount, before);
        mouse(note, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {180, 155});
        QCOMPARE(m_state->saveCount, before + 1);
        QCOMPARE(LoadNoteFile(m_state->dataFilePath(), {}).records.at(0).left, qRound(Twips::fromPixelsX(130)));

        mouse(note, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {329, 204});
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {359, 224});
        QCOMPARE(m_state->saveCount, before + 1);
        mouse(note, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {359, 224});
        QCOMPARE(note->geometry(), QRect(130, 105, 230, 120));
        QCOMPARE(m_state->saveCount, before + 2);
        QCOMPARE(note->textBox()->size(), QSize(230, 120));

        // A resize is not a move: pointer motion with the button still reported down
        // after it (a window manager's resize keeps the release), or after a move of
        // another note, leaves the note where it stands.
        NoteWindow* other = shownNote(QRect(400, 300, 200, 100), 2);
        mouse(other, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {450, 350});
        mouse(other, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {450, 350});
        mouse(note, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {359, 224});
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {369, 234});
        mouse(note, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {369, 234});
        mouse(note, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {379, 244});
        QCOMPARE(note->geometry(), QRect(130, 105, 240, 130));
        QCOMPARE(savedLeftTop(), QPoint(qRound(Twips::fromPixelsX(130)), qRound(Twips::fromPixelsY(105))));
    }

    void failedSavesAreToldOnceUntilOneSucceeds() {
        QStringList told;
        MessageBox::setHandlerForTesting([&told](const QString& text) { told << text; });
        makeNote(1, "T%F");
        const QString goodDir = m_state->appDir;
        const QString badDir = m_state->filePath("not-a-directory") + '/';
        QVERIFY(writeBytes(badDir.chopped(1), {}));

        m_state->appDir = badDir;
        QCOMPARE(SaveAllNotes(*m_state) + SaveAllNotes(*m_state), 0);
        QCOMPARE(told.size(), 1);
        QVERIFY(told.at(0).contains(m_state->dataFilePath()));
        m_state->appDir = goodDir;
        QCOMPARE(SaveAllNotes(*m_state), -1);
        m_state->appDir = badDir;
        QCOMPARE(SaveAllNotes(*m_state), 0);
        QCOMPARE(told.size(), 2);

        // The real message leaves the notes usable: it is not modal.
        MessageBox::setHandlerForTesting({});
        m_state->appDir = goodDir;
        QCOMPARE(SaveAllNotes(*m_state), -1);
        m_state->appDir = badDir;
        QCOMPARE(SaveAllNotes(*m_state), 0);
        QMessageBox* box = nullptr;
        QTRY_VERIFY(box = topLevels<QMessageBox>(true).value(0));
        QVERIFY(!QApplication::activeModalWidget());
        box->close();

        // The day's copy of a large file does not fit on the disk, the save does: told
        // once, and written with the day's first state once there is room.
        MessageBox::setHandlerForTesting([&told](const QString& text) { told << text; });
        told.clear();
        m_state->appDir = goodDir;
        m_state->now = [] { return QDateTime(QDate(2027, 1, 5), QTime(9, 0)); };
        const QByteArray large = DataFileOf({SavedNote(0, 0, "{\\rtf1 " + QByteArray(5000, 'x') + "}")});
        QVERIFY(writeBytes(m_state->dataFilePath(), large));
        {
            FileSizeLimit diskAlmostFull(2000);
            QCOMPARE(SaveAllNotes(*m_state) + SaveAllNotes(*m_state), -2);
        }
        const QString copy = m_state->filePath("Pinora-backup-20270105.dat");
        QVERIFY(told.size() == 1 && told.at(0).contains(copy) && !QFile::exists(copy));
        QCOMPARE(SaveAllNotes(*m_state), -1);
        QCOMPARE(readBytes(copy), large);
    }

private:
    NoteWindow* makeNote(qint32 slot, const char* flags) {
        auto* note = new NoteWindow(*m_state);
        note->setTag(Tag::MakeTag(slot, QStringLiteral("26/12/06 21:35:00"), QString(QLatin1Char(flags[0])),
                                  QString(QLatin1Char(flags[2]))));
        note->textBox()->setBackColor(NoteColor::Yellow);
        while (m_state->noteWindows.size() <= slot + 1)
            m_state->noteWindows.append(nullptr);
        m_state->noteWindows[slot] = note;
        m_state->noteCount = std::max(m_state->noteCount, slot);
        m_notes.append(note);
        return note;
    }

    NoteWindow* shownNote(const QRect& geometry, qint32 slot = 1) {
        NoteWindow* note = makeNote(slot, "T%F");
        note->setGeometry(geometry);
        note->show();
        [note] { QVERIFY(QTest::qWaitForWindowExposed(note)); }();
        return note;
    }

    QPoint savedLeftTop() const {
        SaveAllNotes(*m_state);
        const NoteFileLoad saved = LoadNoteFile(m_state->dataFilePath(), {});
        return saved.count > 0 ? QPoint(saved.records.at(0).left, saved.records.at(0).top) : QPoint(-1, -1);
    }

    // Mouse events as the window system delivers them to the note's surface: the
    // pointer goes where the screen position says, wherever the window is now.
    static void mouse(NoteWindow* note, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                      QPoint global, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF local = note->mouseSurface()->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, QPointF(global), button, buttons, modifiers);
        QCoreApplication::sendEvent(note->mouseSurface(), &event);
    }

    std::unique_ptr<ScratchAppState> m_state;
    QList<NoteWindow*> m_notes;
};

QTEST_MAIN(TestNoteWindow)
#include "TestNoteWindow.moc"

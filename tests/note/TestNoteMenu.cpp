// The commands of a note's menu on real note windows: peeling with and without the
// log, hiding, colours, duplicating and lining notes up.
#include "note/AppState.h"
#include "note/NoteArrange.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteSurface.h"
#include "note/NoteWindow.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/DataFile.h"
#include "store/NoteFile.h"
#include "store/PeeledNotes.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "SavedNote.h"
#include "ScratchAppState.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using NoteArrange::Box;
using NoteArrange::Move;

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(6, 30, 15));

Box box(double left, double top, double width, double height, const QString& tag) {
    return Box{QRectF(left, top, width, height), tag};
}

} // namespace

class TestNoteMenu : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_state = std::make_unique<ScratchAppState>();
        m_state->now = [] { return kNow; };
        m_messages.clear();
        MessageBox::setHandlerForTesting([this](const QString& text) { m_messages << text; });
    }
    void cleanup() {
        m_state.reset();
        MessageBox::setHandlerForTesting({});
    }

    // はがす keeps the note whole among the peeled notes and writes the log entry, then
    // the window goes and its slot stays dead; the next note takes the slot after the
    // highest one.
    void peelWithLogWritesTheEntryThenUnloads() {
        makeNotes(2);
        NoteWindow* first = m_state->noteWindows.at(1);
        QPointer<NoteWindow> watched(first);
        const NoteRecord asSaved = savedNotes().records.at(0);
        trigger(first, "peel");
        QCOMPARE(PeeledNotes::load(m_state->peeledNotesPath(), m_state->now()).notes,
                 (QList<PeeledNote>{{asSaved, m_state->now()}}));
        QCOMPARE(readBytes(m_state->peelLogPath()),
                 QByteArray("[作成した日時=26/12/06 21:35:00]\r\n[はがした日時=26/12/07 06:30:15]\r\n"
                            "note 1\r\nsecond line\r\n\r\n\r\n"));
        QVERIFY(first->tag().isEmpty() && !first->isVisible());
        QTRY_VERIFY(!watched); // the window is gone once its handler has returned
        QCOMPARE(std::pair(m_state->noteCount, savedNotes().count), std::pair(2, 1));
        NoteWindow* copy = DuplicateNote(*m_state, *m_state->noteWindows.at(2));
        QCOMPARE(std::pair(m_state->noteCount, Tag::NoteIdOf(copy->tag())), std::pair(3, 3));
    }

    // A note whose log entry or peeled copy cannot be written is not peeled: a folder
    // stands where the file should be.
    void peelThatCannotBeKeptKeepsTheNote() {
        makeNotes(2);
        QVERIFY(QDir().mkpath(m_state->peelLogPath()));
        const QByteArray before = readBytes(m_state->dataFilePath());
        NoteWindow* note = m_state->noteWindows.at(1);
        trigger(note, "peel");
        QCOMPARE(m_messages, QStringList{QStringLiteral("ログ出力に失敗しました")});
        QVERIFY(!note->tag().isEmpty() && note->isVisible());
        QCOMPARE(readBytes(m_state->dataFilePath()), before);
        trigger(note, "peelWithoutLog"); // no log needed
        QVERIFY(note->tag().isEmpty());

        QVERIFY(QFile::remove(m_state->peeledNotesPath()) && QDir().mkpath(m_state->peeledNotesPath()));
        note = m_state->noteWindows.at(2);
        for (const char* item : {"peelWithoutLog", "peel"}) {
            trigger(note, item);
            QVERIFY(!note->tag().isEmpty() && note->isVisible());
        }
        QCOMPARE(m_messages.size(), 3);
        QCOMPARE(savedNotes().count, 1);
    }

    // 一時的に非表示 saves nothing, so the next start shows the note; 非表示 saves the flag;
    // a colour is saved even when unchanged, and the note is not refitted; a copy of a
    // note resized and recoloured has its content, colour and size, a new Tag after the
    // highest slot, and stands in the middle of the screen.
    void hideRecolourAndDuplicate() {
        makeNotes(4);
        const int saves = m_state->saveCount;
        trigger(m_state->noteWindows.at(1), "hideForNow");
        QCOMPARE(m_state->saveCount, saves);
        trigger(m_state->noteWindows.at(2), "hide");
        QVERIFY(!m_state->noteWindows.at(1)->isVisible() && !m_state->noteWindows.at(2)->isVisible());
        QCOMPARE(savedNotes().records.at(0).visibleFlag + savedNotes().records.at(1).visibleFlag, QByteArray("TF"));

        NoteWindow* source = m_state->noteWindows.at(3);
        source->resize(260, 180);
        const int resized = m_state->saveCount;
        trigger(source, "yellow");
        QCOMPARE(m_state->saveCount, resized + 1);
        trigger(source, "blue");
        QCOMPARE(savedNotes().records.at(2).backColor, NoteColor::Blue);
        QCOMPARE(source->size(), QSize(260, 180));

        trigger(m_state->noteWindows.at(4), "peelWithoutLog"); // a dead slot at the top
        trigger(source, "duplicate");
        NoteWindow* copy = m_state->noteWindows.at(5);
        QCOMPARE(copy->tag(), QStringLiteral("0000000005%26/12/07 06:30:15%T%F"));
        QCOMPARE(copy->size(), QSize(260, 180));
        QCOMPARE(copy->textBox()->text(), source->textBox()->text());
        QCOMPARE(copy->textBox()->backColor(), NoteColor::Blue);
        QCOMPARE(copy->geometry().center().x() / 3, copy->screen()->geometry().center().x() / 3);
        QVERIFY(copy->isVisible() && savedNotes().count == 4);
    }

    // 左に揃える takes the notes below the anchor that overlap its column.
    void arrangeLeftChoosesAndStacks() {
        const Box anchor = box(1500, 1500, 3000, 1500, "A");
        QList<std::optional<Box>> notes(7);
        notes[1] = anchor;
        notes[2] = box(3000, 6000, 3000, 1500, "2"); // left edge in the column
        notes[3] = box(900, 4500, 3000, 1500, "3");  // right edge in the column
        notes[4] = box(1000, 9000, 5000, 1500, "4"); // wider: covers the column, not taken
        notes[5] = box(1500, 1500, 3000, 900, "5");  // same top: not below
        notes[6] = box(9000, 2000, 3000, 1500, "6"); // another column, in the anchor's row
        const QList<Move> moves = NoteArrange::PlanArrangeLeft(notes, anchor);
        // In the order of their tops, 20 twips below the one above as its window
        // stands on whole pixels (3020 twips is 201 pixels, 3015 twips).
        QCOMPARE(moves, (QList<Move>{{3, 1500, 3020}, {2, 1500, 4535}}));
        notes[2].reset();
        notes[3].reset();
        QVERIFY(NoteArrange::PlanArrangeLeft(notes, anchor).isEmpty());
        // 上に揃える: the one to the right in the anchor's row, 50 twips after it.
        QCOMPARE(NoteArrange::PlanArrangeTop(notes, anchor), (QList<Move>{{6, 4550, 1500}}));
        // A note that would end past 32767 twips, where the data file stops, stays.
        const QList<std::optional<Box>> low{std::nullopt, box(0, 31000, 3000, 1000, "fits"),
                                            box(0, 31500, 3000, 1000, "would not")};
        QCOMPARE(NoteArrange::PlanArrangeLeft(low, box(0, 28000, 3000, 3000, "A")), (QList<Move>{{1, 0, 31020}}));
    }

    // On windows: only visible notes take part, and a save follows only a move.
    void arrangeCommandsMoveVisibleNotesAndSaveOnce() {
        makeNotes(3);
        NoteWindow* anchor = m_state->noteWindows.at(1);
        anchor->moveTwips(1500, 1500);
        m_state->noteWindows.at(2)->moveTwips(3000, 9000);
        m_state->noteWindows.at(3)->moveTwips(1500, 6000);
        m_state->noteWindows.at(3)->hide();
        const int saves = m_state->saveCount;
        trigger(anchor, "arrangeTop"); // nobody to the right
        QCOMPARE(m_state->saveCount, saves);
        trigger(anchor, "arrangeLeft");
        QCOMPARE(m_state->saveCount, saves + 1);
        QCOMPARE(m_state->noteWindows.at(2)->pos(),
                 QPoint(Twips::toPixelsX(1500), Twips::toPixelsY(1500 + anchor->geometryTwips().height() + 20)));
        QCOMPARE(m_state->noteWindows.at(3)->pos(), QPoint(Twips::toPixelsX(1500), Twips::toPixelsY(6000)));
    }

    // After a drag that was taken, the source goes as the mode says a second later,
    // and the mode is read again then.
    void completedDragPeelsTheSourceByMode_data() {
        QTest::addColumn<int>("modeAtDrop");
        QTest::addColumn<int>("modeAtTick");
        QTest::addColumn<int>("effect");
        QTest::addColumn<bool>("peeled");
        QTest::addColumn<bool>("logged");
        QTest::newRow("1: copy, log, peel") << 1 << 1 << 1 << true << true;
        QTest::newRow("2: copy only") << 2 << 2 << 1 << false << false;
        QTest::newRow("3: copy and peel") << 3 << 3 << 1 << true << false;
        QTest::newRow("3, then 2 before the tick: hidden for now") << 3 << 2 << 1 << false << false;
        QTest::newRow("nothing taken") << 3 << 3 << 0 << false << false;
    }
    void completedDragPeelsTheSourceByMode() {
        QFETCH(int, modeAtDrop);
        QFETCH(int, modeAtTick);
        QFETCH(int, effect);
        QFETCH(bool, peeled);
        QFETCH(bool, logged);
        makeNotes(1);
        QPointer<NoteWindow> note = m_state->noteWindows.at(1).data();
        m_state->dragMode = qint16(modeAtDrop);
        emit note->textBox()->dragCompleted(effect);
        const bool hidden = effect == 1 && modeAtDrop != 2;
        QCOMPARE(note->isVisible(), !hidden);
        QCOMPARE(note->peelTimer()->isActive(), hidden);
        m_state->dragMode = qint16(modeAtTick);
        if (hidden) {
            QCOMPARE(note->peelTimer()->interval(), 1000);
            QTRY_VERIFY_WITH_TIMEOUT(!note || !note->peelTimer()->isActive(), 3000);
        }
        QCOMPARE(m_state->liveNote(1) == nullptr, peeled);
        QCOMPARE(savedNotes().count, peeled ? 0 : 1);
        QCOMPARE(QFile::exists(m_state->peelLogPath()), logged);
    }

    // A drop appends at the end, rich text before plain text, refits the note's
    // height to the new content and saves.
    void dropAppendsAndRefits() {
        makeNotes(1);
        NoteWindow* note = m_state->noteWindows.at(1);
        note->resize(note->width(), 300);
        QMimeData both;
        both.setData("text/rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 \\b dropped\\b0\\par}");
        both.setText("plain");
        emit note->mouseSurface()->dropped(&both);
        // At the insertion point, which is the end of the last line.
        QCOMPARE(note->textBox()->text(), QStringLiteral("note 1\r\nsecond linedropped"));
        QVERIFY(note->height() < 300);
        QMimeData plain;
        plain.setText("from an editor");
        emit note->mouseSurface()->dropped(&plain);
        QVERIFY(note->textBox()->text().endsWith(QStringLiteral("droppedfrom an editor")));
        QVERIFY(savedNotes().records.at(0).textRtf.contains("from an editor"));
    }

private:
    void makeNotes(int count) {
        m_state->noteCount = count;
        m_state->noteWindows.resize(count + 2);
        BuildPlaceholder(*m_state);
        for (int k = 1; k <= count; ++k) {
            NoteRecord r = SavedNote(1500 * k, 1500,
                                     "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 note " + QByteArray::number(k) +
                                         "\\par second line\\par}");
            r.index = k;
            r.createdAt = "26/12/06 21:35:00";
            RestoreNote(*m_state, k, r)->show();
        }
        m_state->loading = false;
        SaveAllNotes(*m_state);
    }
    static void trigger(NoteWindow* note, const char* item) {
        QAction* action = note->menu()->findChild<QAction*>(QLatin1String(item));
        QVERIFY2(action, item);
        action->trigger();
    }
    NoteFile::Contents savedNotes() const {
        return NoteFile::decode(readBytes(m_state->dataFilePath())).value_or(NoteFile::Contents{});
    }

    std::unique_ptr<ScratchAppState> m_state;
    QStringList m_messages;
};

QTEST_MAIN(TestNoteMenu)
#include "TestNoteMenu.moc"

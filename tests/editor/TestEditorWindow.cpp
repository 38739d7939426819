#include "editor/ApplyQuestion.h"
#include "editor/EditorWindow.h"
#include "note/NoteColor.h"
#include "note/NoteWindow.h"
#include "platform/ColorValue.h"
#include "platform/RichTextBox.h"
#include "store/NoteFile.h"
#include "store/Tag.h"

#include "FileBytes.h"
#include "ScratchAppState.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

class TestEditorWindow : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_state = std::make_unique<ScratchAppState>();
        m_state->noteWindows.resize(2);
        EditorWindow::Services services;
        services.chooseColor = [this](const QColor&, QWidget*) { return m_nextColour; };
        m_editor = std::make_unique<EditorWindow>(*m_state, services);
        QApplication::clipboard()->clear();
    }
    void cleanup() {
        m_editor.reset();
        m_state.reset(); // with the note windows it owns
    }

    void freshEditorDefaults() {
        QCOMPARE(m_editor->fontNameBox()->currentText(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(m_editor->fontSizeBox()->count(), 27);
        QCOMPARE(m_editor->fontSizeBox()->currentText(), QStringLiteral("10"));
        QCOMPARE(m_editor->textBox()->backColor(), NoteColor::Yellow);
        QVERIFY(m_editor->findChild<QAction*>("yellow")->isChecked() &&
                !m_editor->findChild<QAction*>("white")->isChecked());
        // Cut, copy, delete and undo are off; paste only with text on the clipboard.
        for (int button : {3, 4, 5, 6, 7})
            QVERIFY(!m_editor->commandBarButton(button)->isEnabled());
        QApplication::clipboard()->setText(QStringLiteral("x"));
        m_editor->updateSelectionCommands();
        QVERIFY(m_editor->findChild<QAction*>("paste")->isEnabled() && m_editor->commandBarButton(5)->isEnabled());
        // Tab stops every "5678" across the box.
        const QList<int> tabs = m_editor->textBox()->selTabs();
        QVERIFY(tabs.size() > 5 && tabs.at(0) == 0 && tabs.at(2) == 2 * tabs.at(1));
        QVERIFY(!m_editor->isDirty());
    }

    void dirtyRules() {
        m_editor->openForNewNote(true);
        m_editor->textBox()->setFocus();
        QTest::keyClicks(m_editor->textBox(), "a");
        QVERIFY(m_editor->isDirty());

        m_editor->reset();
        m_editor->openForNewNote(false);
        m_editor->textBox()->setText(QStringLiteral("abc\r\nde"));
        m_editor->setDirty(false);
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(5);
        m_editor->copy();
        QVERIFY(!m_editor->isDirty()); // copying changes nothing
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc\nd"));
        m_editor->findChild<QAction*>("bold")->trigger();
        QVERIFY(m_editor->isDirty()); // formatting from the menu counts
        m_editor->setDirty(false);
        m_editor->setNoteColour(NoteColor::Yellow);
        QVERIFY(m_editor->isDirty()); // a colour counts, even the same one
        QVERIFY(m_editor->findChild<QAction*>("yellow")->isChecked());

        // Undo takes back one step only, and what it undid cannot be undone again.
        m_editor->textBox()->selectAll();
        m_editor->copy();
        m_editor->paste();
        m_editor->paste();
        QVERIFY(m_editor->findChild<QAction*>("undo")->isEnabled());
        m_editor->undo();
        QVERIFY(!m_editor->findChild<QAction*>("undo")->isEnabled());
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("abc\r\nde"));
    }

    // Closing without a change hides without asking (opening an existing note raises a
    // change notification that does not count); with changes it asks: キャンセル keeps
    // everything, 破棄 hides and creates nothing.
    void closingAsksOnlyAfterAChange() {
        m_editor->openForEdit(*addNote(1, "{\\rtf1 existing}"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("existing"));
        m_editor->close();
        QVERIFY(!m_editor->isVisible() && !m_editor->applyQuestion());
        m_editor->openForNewNote(true);
        QTest::keyClicks(m_editor->textBox(), "memo");
        m_editor->close();
        QVERIFY(m_editor->isVisible() && m_editor->applyQuestion() && m_editor->applyQuestion()->isVisible());
        QCOMPARE(m_editor->applyQuestion()->windowTitle(), QStringLiteral("ピノラ：動作確認"));
        QTest::mouseClick(m_editor->applyQuestion()->button(ApplyQuestion::Answer::Cancel), Qt::LeftButton);
        QTRY_VERIFY(!m_editor->applyQuestion() || !m_editor->applyQuestion()->isVisible());
        QVERIFY(m_editor->isVisible() && m_editor->isDirty());
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("memo"));
        m_editor->close();
        QTest::mouseClick(m_editor->applyQuestion()->button(ApplyQuestion::Answer::Discard), Qt::LeftButton);
        QVERIFY(!m_editor->isVisible());
        QCOMPARE(m_state->noteCount, 1); // the existing one only
    }

    void createMakesTheFirstNoteAndItsPlaceholder() {
        m_state->now = [] { return QDateTime(QDate(2026, 12, 6), QTime(21, 35, 0)); };
        m_editor->openForNewNote(false);
        QTest::keyClicks(m_editor->textBox(), "first");
        m_editor->setNoteColour(NoteColor::Green);
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
        QTest::keyClick(m_editor->textBox(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!m_editor->isVisible() && m_editor->textBox()->text().isEmpty());
        QCOMPARE(m_state->noteCount, 1);
        QCOMPARE(m_state->noteWindows.at(0)->tag(), Tag::PlaceholderTag());
        NoteWindow* note = m_state->noteWindows.at(1);
        QCOMPARE(note->tag(), QStringLiteral("0000000001%26/12/06 21:35:00%T%F")); // centred once shown
        QVERIFY(qAbs(note->geometry().center().x() - note->screen()->geometry().center().x()) <= 1);
        const std::optional<NoteFile::Contents> saved = NoteFile::decode(readBytes(m_state->dataFilePath()));
        QCOMPARE(std::pair(saved->count, saved->records.at(0).backColor), std::pair(1, NoteColor::Green));
    }

    void japaneseTextSurvivesTheDataFile() {
        m_editor->openForNewNote(true);
        m_editor->textBox()->insertText(QStringLiteral("買い物①\r\n牛乳～"));
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(3);
        m_editor->formatBarButton(2)->trigger(); // bold
        m_editor->createNote();
        const QByteArray rtf = NoteFile::decode(readBytes(m_state->dataFilePath()))->records.at(0).textRtf;
        QVERIFY(!rtf.contains(char(0x80)) && rtf.contains("\\'94\\'83")); // 買 as Shift-JIS escapes
        // What a restart reads back is the same text with the same bold run.
        RichTextBox again;
        again.setTextRTF(rtf);
        QCOMPARE(again.text(), QStringLiteral("買い物①\r\n牛乳～"));
        for (const auto& [start, bold] : {std::pair(0, true), std::pair(4, false)}) {
            again.setSelStart(start);
            again.setSelLength(bold ? 3 : 1);
            QCOMPARE(again.selBold(), std::optional<bool>(bold));
        }
    }

    void editKeepsTagPositionAndSlot() {
        NoteWindow* first = addNote(1, "{\\rtf1 one}");
        NoteWindow* second = addNote(2, "{\\rtf1 two}");
        second->move(300, 200);
        const QString tag = second->tag();
        m_editor->openForEdit(*second);
        QVERIFY(!m_editor->findChild<QAction*>("undo")->isEnabled()); // opening is nothing to undo
        m_editor->textBox()->setSelStart(m_editor->textBox()->textLength());
        QTest::keyClicks(m_editor->textBox(), " more");
        m_editor->createNote();
        QCOMPARE(m_state->noteCount, 2);
        QVERIFY(second->tag() == tag && second->pos() == QPoint(300, 200));
        QCOMPARE(second->textBox()->text(), QStringLiteral("two more"));
        QCOMPARE(first->textBox()->text(), QStringLiteral("one"));

        // Another note opened over typed work: the question first. キャンセル keeps the
        // work, 適用 applies it to its note, 破棄 drops it; then the other note opens.
        using Answer = ApplyQuestion::Answer;
        const auto openAnswering = [this](NoteWindow& note, Answer answer) {
            bool asked = false;
            QTimer::singleShot(0, this, [this, answer, &asked] {
                ApplyQuestion* question = m_editor->applyQuestion();
                asked = question && question->isVisible();
                if (question)
                    question->button(answer)->click();
            });
            m_editor->openForEdit(note);
            return asked;
        };
        m_editor->openForEdit(*first);
        QTest::keyClicks(m_editor->textBox(), "typed ");
        QVERIFY(openAnswering(*second, Answer::Cancel));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("typed one"));
        QVERIFY(openAnswering(*second, Answer::Apply));
        QCOMPARE(first->textBox()->text(), QStringLiteral("typed one"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("two more"));
        QTest::keyClicks(m_editor->textBox(), "x");
        QVERIFY(openAnswering(*first, Answer::Discard));
        QCOMPARE(second->textBox()->text(), QStringLiteral("two more"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("typed one"));
        QVERIFY(!openAnswering(*second, Answer::Cancel)); // nothing typed: no question
    }

    // A note the editor grows keeps its colour to its last pixel.
    void aGrownNoteHasItsColourToTheEnd() {
        NoteWindow* note = addNote(1, "{\\rtf1 one}");
        note->textBox()->setBackColor(NoteColor::Green);
        note->show();
        m_editor->openForEdit(*note);
        m_editor->textBox()->setSelStart(m_editor->textBox()->textLength());
        for (const char* line : {"two", "three"}) {
            QTest::keyClick(m_editor->textBox(), Qt::Key_Return);
            QTest::keyClicks(m_editor->textBox(), line);
        }
        const int before = note->height();
        m_editor->createNote();
        const QImage shot = note->grab().toImage();
        QVERIFY(shot.height() > before);
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() - 1), ColorValue::toQColor(NoteColor::Green));
    }

    void applyingToAPeeledNoteCreatesANewOne() {
        NoteWindow* note = addNote(1, "{\\rtf1 gone}");
        m_editor->openForEdit(*note);
        note->setTag(QString()); // peeled meanwhile
        QTest::keyClicks(m_editor->textBox(), "typed ");
        m_editor->createNote();
        QCOMPARE(m_state->noteCount, 2);
        QCOMPARE(m_state->liveNote(2)->textBox()->text(), QStringLiteral("typed gone"));
    }

    void rightClickPopsUpTheEditMenu() {
        m_editor->openForNewNote(true);
        QTest::keyClicks(m_editor->textBox(), "abc");
        QTest::keyClick(m_editor->textBox(), Qt::Key_Left, Qt::ShiftModifier);
        bool shownWithCut = false;
        QTimer::singleShot(0, this, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            shownWithCut =
                popup == m_editor->findChild<QMenu*>("editMenu") && m_editor->findChild<QAction*>("cut")->isEnabled();
            if (popup)
                QTest::mouseClick(popup, Qt::LeftButton, {},
                                  popup->actionGeometry(m_editor->findChild<QAction*>("cut")).center());
        });
        QTest::mouseClick(m_editor->textBox()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY(shownWithCut);
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("ab"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("c"));
    }

    void partlyBoldSelection() {
        m_editor->openForNewNote(true);
        m_editor->textBox()->setTextRTF("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ab\\b cd\\b0\\par}");
        m_editor->textBox()->setSelStart(1);
        m_editor->textBox()->setSelLength(2);
        QVERIFY(m_editor->findChild<QAction*>("bold")->isChecked() &&
                m_editor->formatBarButton(2)->isChecked()); // mixed shows as bold
        m_editor->formatBarButton(2)->trigger();
        QCOMPARE(m_editor->textBox()->selBold(), std::optional<bool>(false));
        QVERIFY(!m_editor->findChild<QAction*>("bold")->isChecked());
        QVERIFY(m_editor->isDirty());
    }

    void sizeFromTheListMarksDirtyAndReturnsFocus() {
        m_editor->openForNewNote(true);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
        QTest::keyClicks(m_editor->textBox(), "ab");
        m_editor->setDirty(false);
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(2);
        m_editor->fontSizeBox()->setFocus();
        m_editor->fontSizeBox()->setCurrentIndex(m_editor->fontSizeBox()->findText("24"));
        emit m_editor->fontSizeBox()->activated(m_editor->fontSizeBox()->currentIndex());
        QCOMPARE(m_editor->textBox()->selFontSize(), std::optional<qreal>(24));
        QVERIFY(m_editor->isDirty());
        QTRY_VERIFY(m_editor->textBox()->hasFocus());
    }

    void tabTypesInTheTextAndMovesBetweenControlsElsewhere() {
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
        m_editor->openForNewNote(false);
        QTRY_VERIFY(m_editor->textBox()->hasFocus());
        QTest::keyClick(m_editor->textBox(), Qt::Key_Tab);
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("\t"));
        QVERIFY(m_editor->textBox()->hasFocus());

        QTest::mouseClick(m_editor->fontNameBox()->lineEdit(), Qt::LeftButton);
        QTRY_VERIFY(m_editor->fontNameBox()->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(m_editor->fontSizeBox()->hasFocus());
    }

private:
    NoteWindow* addNote(qint32 slot, const QByteArray& rtf) {
        auto* note = new NoteWindow(*m_state);
        note->setTag(Tag::MakeTag(slot, QStringLiteral("26/12/06 21:35:00"), "T", "F"));
        note->textBox()->setTextRTF(rtf);
        while (m_state->noteWindows.size() <= slot + 1)
            m_state->noteWindows.append(nullptr);
        m_state->noteWindows[slot] = note;
        m_state->noteCount = std::max(m_state->noteCount, slot);
        return note;
    }

    std::unique_ptr<ScratchAppState> m_state;
    std::unique_ptr<EditorWindow> m_editor;
    std::optional<QColor> m_nextColour;
};

QTEST_MAIN(TestEditorWindow)
#include "TestEditorWindow.moc"

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
        m_state->NoteWindows.resize(2);
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
        QCOMPARE(m_editor->Combo1->currentText(), QStringLiteral("ＭＳ ゴシック"));
        QCOMPARE(m_editor->Combo2->count(), 27);
        QCOMPARE(m_editor->Combo2->currentText(), QStringLiteral("10"));
        QCOMPARE(m_editor->textBox()->backColor(), NoteColor::Yellow);
        QVERIFY(m_editor->mYellow->isChecked() && !m_editor->mWhite->isChecked());
        // Cut, copy, delete and undo are off; paste only with text on the clipboard.
        for (int button : {3, 4, 5, 6, 7})
            QVERIFY(!m_editor->toolbar1Button(button)->isEnabled());
        QApplication::clipboard()->setText(QStringLiteral("x"));
        m_editor->UpdateSelectionCommands();
        QVERIFY(m_editor->mPast->isEnabled() && m_editor->toolbar1Button(5)->isEnabled());
        // Tab stops every "5678" across the box.
        const QList<int> tabs = m_editor->textBox()->selTabs();
        QVERIFY(tabs.size() > 5 && tabs.at(0) == 0 && tabs.at(2) == 2 * tabs.at(1));
        QCOMPARE(m_editor->IsEditorDirty(), 0);
    }

    void dirtyRules() {
        m_editor->openForNewNote(true);
        m_editor->textBox()->setFocus();
        QTest::keyClicks(m_editor->textBox(), "a");
        QCOMPARE(m_editor->IsEditorDirty(), 1);

        m_editor->ResetEditor();
        m_editor->openForNewNote(false);
        m_editor->ChangeTrackingArmed = true;
        m_editor->textBox()->setText(QStringLiteral("abc\r\nde"));
        m_editor->SetEditorDirty(0);
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(5);
        m_editor->EditorCopy();
        QCOMPARE(m_editor->IsEditorDirty(), 0); // copying changes nothing
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("abc\nd"));
        m_editor->mBold->trigger();
        QCOMPARE(m_editor->IsEditorDirty(), 1); // formatting from the menu counts
        m_editor->SetEditorDirty(0);
        m_editor->SetEditorBackColour(NoteColor::Yellow);
        QCOMPARE(m_editor->IsEditorDirty(), 1); // a colour counts, even the same one
        QVERIFY(m_editor->mYellow->isChecked());

        // Undo takes back one step only, and what it undid cannot be undone again.
        m_editor->textBox()->selectAll();
        m_editor->EditorCopy();
        m_editor->EditorPaste();
        m_editor->EditorPaste();
        QVERIFY(m_editor->mUndo->isEnabled());
        m_editor->EditorUndo();
        QVERIFY(!m_editor->mUndo->isEnabled());
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("abc\r\nde"));
    }

    // Closing without a change hides without asking (opening an existing note raises a
    // change notification that does not count); with changes it asks: キャンセル keeps
    // everything, 破棄 hides and creates nothing.
    void closingAsksOnlyAfterAChange() {
        m_editor->openForEdit(*addNote(1, "{\\rtf1 existing}"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("existing"));
        m_editor->close();
        QVERIFY(!m_editor->isVisible() && !m_editor->msgForm());
        m_editor->openForNewNote(true);
        QTest::keyClicks(m_editor->textBox(), "memo");
        m_editor->close();
        QVERIFY(m_editor->isVisible() && m_editor->msgForm() && m_editor->msgForm()->isVisible());
        QCOMPARE(m_editor->msgForm()->windowTitle(), QStringLiteral("ピノラ：動作確認"));
        QTest::mouseClick(m_editor->msgForm()->Command3, Qt::LeftButton);
        QTRY_VERIFY(!m_editor->msgForm() || !m_editor->msgForm()->isVisible());
        QVERIFY(m_editor->isVisible() && m_editor->IsEditorDirty() == 1);
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("memo"));
        m_editor->close();
        QTest::mouseClick(m_editor->msgForm()->Command2, Qt::LeftButton);
        QVERIFY(!m_editor->isVisible());
        QCOMPARE(m_state->NoteCount, 1); // the existing one only
    }

    void createMakesTheFirstNoteAndItsPlaceholder() {
        m_state->Now = [] { return QDateTime(QDate(2026, 12, 6), QTime(21, 35, 0)); };
        m_editor->openForNewNote(false);
        QTest::keyClicks(m_editor->textBox(), "first");
        m_editor->SetEditorBackColour(NoteColor::Green);
        m_editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
        QTest::keyClick(m_editor->textBox(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(!m_editor->isVisible() && m_editor->textBox()->text().isEmpty());
        QCOMPARE(m_state->NoteCount, 1);
        QCOMPARE(m_state->NoteWindows.at(0)->tag(), Tag::PlaceholderTag());
        NoteWindow* note = m_state->NoteWindows.at(1);
        QCOMPARE(note->tag(), QStringLiteral("0000000001%26/12/06 21:35:00%T%F")); // centred once shown
        QVERIFY(qAbs(note->geometry().center().x() - note->screen()->geometry().center().x()) <= 1);
        const std::optional<NoteFile::Contents> saved = NoteFile::decode(readBytes(m_state->dataFilePath()));
        QCOMPARE(std::pair(saved->count, saved->records.at(0).BackColor), std::pair(1, NoteColor::Green));
    }

    void japaneseTextSurvivesTheDataFile() {
        m_editor->openForNewNote(true);
        m_editor->textBox()->insertText(QStringLiteral("買い物①\r\n牛乳～"));
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(3);
        m_editor->toolbar2Button(2)->trigger(); // bold
        m_editor->mCreate_Click();
        const QByteArray rtf = NoteFile::decode(readBytes(m_state->dataFilePath()))->records.at(0).TextRTF;
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
        QVERIFY(!m_editor->mUndo->isEnabled()); // opening is nothing to undo
        m_editor->textBox()->setSelStart(m_editor->textBox()->textLength());
        QTest::keyClicks(m_editor->textBox(), " more");
        m_editor->mCreate_Click();
        QCOMPARE(m_state->NoteCount, 2);
        QVERIFY(second->tag() == tag && second->pos() == QPoint(300, 200));
        QCOMPARE(second->textBox()->text(), QStringLiteral("two more"));
        QCOMPARE(first->textBox()->text(), QStringLiteral("one"));

        // Another note opened over typed work: the question first. キャンセル keeps the
        // work, 適用 applies it to its note, 破棄 drops it; then the other note opens.
        const auto openAnswering = [this](NoteWindow& note, int button) {
            bool asked = false;
            QTimer::singleShot(0, this, [this, button, &asked] {
                ApplyQuestion* question = m_editor->msgForm();
                asked = question && question->isVisible();
                if (question)
                    (button == 1 ? question->Command1 : button == 2 ? question->Command2 : question->Command3)->click();
            });
            m_editor->openForEdit(note);
            return asked;
        };
        m_editor->openForEdit(*first);
        QTest::keyClicks(m_editor->textBox(), "typed ");
        QVERIFY(openAnswering(*second, 3));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("typed one"));
        QVERIFY(openAnswering(*second, 1));
        QCOMPARE(first->textBox()->text(), QStringLiteral("typed one"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("two more"));
        QTest::keyClicks(m_editor->textBox(), "x");
        QVERIFY(openAnswering(*first, 2));
        QCOMPARE(second->textBox()->text(), QStringLiteral("two more"));
        QCOMPARE(m_editor->textBox()->text(), QStringLiteral("typed one"));
        QVERIFY(!openAnswering(*second, 3)); // nothing typed: no question
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
        m_editor->mCreate_Click();
        const QImage shot = note->grab().toImage();
        QVERIFY(shot.height() > before);
        QCOMPARE(shot.pixelColor(shot.width() / 2, shot.height() - 1), ColorValue::toQColor(NoteColor::Green));
    }

    void applyingToAPeeledNoteCreatesANewOne() {
        NoteWindow* note = addNote(1, "{\\rtf1 gone}");
        m_editor->openForEdit(*note);
        note->setTag(QString()); // peeled meanwhile
        QTest::keyClicks(m_editor->textBox(), "typed ");
        m_editor->mCreate_Click();
        QCOMPARE(m_state->NoteCount, 2);
        QCOMPARE(m_state->liveNote(2)->textBox()->text(), QStringLiteral("typed gone"));
    }

    void rightClickPopsUpTheEditMenu() {
        m_editor->openForNewNote(true);
        QTest::keyClicks(m_editor->textBox(), "abc");
        QTest::keyClick(m_editor->textBox(), Qt::Key_Left, Qt::ShiftModifier);
        bool shownWithCut = false;
        QTimer::singleShot(0, this, [&] {
            auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            shownWithCut = popup == m_editor->mEdit && m_editor->mCut->isEnabled();
            if (popup)
                QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(m_editor->mCut).center());
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
        QVERIFY(m_editor->mBold->isChecked() && m_editor->toolbar2Button(2)->isChecked()); // mixed shows as bold
        m_editor->toolbar2Button(2)->trigger();
        QCOMPARE(m_editor->textBox()->selBold(), std::optional<bool>(false));
        QVERIFY(!m_editor->mBold->isChecked());
        QCOMPARE(m_editor->IsEditorDirty(), 1);
    }

    void sizeFromTheListMarksDirtyAndReturnsFocus() {
        m_editor->openForNewNote(true);
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_editor.get()));
        QTest::keyClicks(m_editor->textBox(), "ab");
        m_editor->SetEditorDirty(0);
        m_editor->textBox()->setSelStart(0);
        m_editor->textBox()->setSelLength(2);
        m_editor->Combo2->setFocus();
        m_editor->Combo2->setCurrentIndex(m_editor->Combo2->findText("24"));
        emit m_editor->Combo2->activated(m_editor->Combo2->currentIndex());
        QCOMPARE(m_editor->textBox()->selFontSize(), std::optional<qreal>(24));
        QCOMPARE(m_editor->IsEditorDirty(), 1);
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

        QTest::mouseClick(m_editor->Combo1->lineEdit(), Qt::LeftButton);
        QTRY_VERIFY(m_editor->Combo1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(m_editor->Combo2->hasFocus());
    }

private:
    NoteWindow* addNote(qint32 slot, const QByteArray& rtf) {
        auto* note = new NoteWindow(*m_state);
        note->setTag(Tag::MakeTag(slot, QStringLiteral("26/12/06 21:35:00"), "T", "F"));
        note->textBox()->setTextRTF(rtf);
        while (m_state->NoteWindows.size() <= slot + 1)
            m_state->NoteWindows.append(nullptr);
        m_state->NoteWindows[slot] = note;
        m_state->NoteCount = std::max(m_state->NoteCount, slot);
        return note;
    }

    std::unique_ptr<ScratchAppState> m_state;
    std::unique_ptr<EditorWindow> m_editor;
    std::optional<QColor> m_nextColour;
};

QTEST_MAIN(TestEditorWindow)
#include "TestEditorWindow.moc"

// Resetting, showing, committing and closing the editor, and the input method
// around the text box's focus.
#include "editor/ApplyQuestion.h"
#include "editor/EditorWindow.h"
#include "note/AppState.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteLayout.h"
#include "note/NoteWindow.h"
#include "platform/InputMethod.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"
#include "store/Tag.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>

namespace {

const QString kDefaultFont = QStringLiteral("ＭＳ ゴシック");
constexpr int kSizes[] = {7,  8,  9,  10, 11, 12, 13, 14, 16, 18, 20, 22, 24, 26,
                          28, 30, 32, 34, 36, 40, 48, 56, 64, 72, 80, 92, 128};

} // namespace

void EditorWindow::reset() {
    m_changeTrackingArmed = false;
    m_fontNameBox->clear();
    m_fontNameBox->addItems(QFontDatabase::families());
    m_fontNameBox->setEditText(kDefaultFont);
    QFont base = NoteFont(kDefaultFont, 10);
    m_textBox->document()->setDefaultFont(base);
    m_fontSizeBox->clear();
    for (int size : kSizes)
        m_fontSizeBox->addItem(QString::number(size));
    m_fontSizeBox->setEditText(QStringLiteral("10"));
    m_textBox->setBackColor(NoteColor::Yellow);
    checkColourItem(m_yellow);
    m_textBox->setText(QString());
    m_textBox->setSelFontName(kDefaultFont);
    m_textBox->setSelFontSize(10);
    for (int button = 2; button <= 4; ++button)
        formatBarButton(button)->setChecked(false);
    m_textBox->setSelBold(false);
    m_textBox->setSelItalic(false);
    m_textBox->setSelUnderline(false);
    m_dialogColour = QColor(0, 0, 0);
    m_textBox->setSelColor(0);

    // Tab stops every width of "5678" in the window font, across the text box.
    const QFont windowFont = NoteFont(kDefaultFont, 9.75);
    const qint16 tabUnit =
        qint16(qRound(QFontMetricsF(windowFont).horizontalAdvance(QStringLiteral("5678")) * Twips::perPixelX()));
    if (tabUnit > 0) {
        m_textBox->setSelStart(0);
        m_textBox->setSelLength(m_textBox->textLength());
        const qint32 n = qRound(Twips::fromPixelsX(m_textBox->width())) / tabUnit;
        QList<int> stops;
        for (qint32 i = 0; i <= n; ++i)
            stops << qint16(tabUnit * i);
        m_textBox->setSelTabs(stops);
        m_textBox->setSelLength(0);
    }
    // Nothing of the reset is the user's to undo.
    m_textBox->emptyUndoBuffer();
    updateUndoCommand();
    setDirty(false);
}

void EditorWindow::showEditor() {
    if (!m_state.editorPlaced) {
        m_state.editorPlaced = true;
        Twips::centreOnScreen(*this);
    }
    show();
}

void EditorWindow::applyToNote() {
    NoteWindow* note = nullptr;
    const bool editing = !m_state.editTargetTag.isEmpty();
    if (editing)
        note = m_state.liveNote(Tag::NoteIdOf(m_state.editTargetTag));
    // A note peeled while it was being edited comes back as a new note, so nothing
    // typed is lost.
    if (note) {
        note->textBox()->setTextRTF(m_textBox->textRTF());
        note->textBox()->setBackColor(m_textBox->backColor());
    } else {
        note = AppendWrittenNote(m_state, m_textBox->textRTF(), m_textBox->backColor());
    }
    m_textBox->setText(QString());
    ShowWrittenNote(m_state, *note);
}

void EditorWindow::checkColourOf(const NoteWindow& note) {
    const auto items = colourItems();
    checkColourItem(nullptr);
    for (const auto& [colour, item] : items) {
        if (note.textBox()->backColor() == colour) {
            item->setChecked(true);
            return;
        }
    }
}

void EditorWindow::trackChange() {
    if (m_changeTrackingArmed)
        setDirty(true);
    else
        m_changeTrackingArmed = true;
}

bool EditorWindow::holdsUnappliedWork() const {
    return isVisible() && (isDirty() || (m_applyQuestion && m_applyQuestion->isVisible()));
}

bool EditorWindow::settleUnappliedWork() {
    if (!holdsUnappliedWork())
        return true;
    m_answer = ApplyQuestion::Answer::Cancel;
    askToApply(true);
    return m_answer != ApplyQuestion::Answer::Cancel;
}

void EditorWindow::openForEdit(NoteWindow& note) {
    // What the editor holds and the user has not applied is not replaced unasked.
    const QPointer<NoteWindow> target(&note);
    if (!settleUnappliedWork() || !target || target->tag().isEmpty())
        return;
    reset();
    m_state.editTargetTag = note.tag().left(10);
    m_textBox->setTextRTF(note.textBox()->textRTF());
    m_textBox->setBackColor(note.textBox()->backColor());
    checkColourOf(note);
    showEditor();
    ForceForeground(*this);
    m_textBox->setFocus();
    SaveAllNotes(m_state);
    setDirty(false);
}

void EditorWindow::openForNewNote(bool fromNoteMenu) {
    m_state.editTargetTag.clear();
    if (!isVisible()) {
        reset();
        showEditor();
    }
    ForceForeground(*this);
    m_textBox->setFocus();
    if (fromNoteMenu) {
        setDirty(false);
        m_changeTrackingArmed = true;
    }
}

void EditorWindow::openFromTrayMenu(const std::function<void(QWidget&)>& centre) {
    m_state.editTargetTag.clear();
    if (!m_state.editorPlaced) {
        m_state.editorPlaced = true;
        centre ? centre(*this) : Twips::centreOnScreen(*this);
    }
    if (!isVisible())
        reset();
    show();
    m_textBox->setFocus();
    m_changeTrackingArmed = true;
}

void EditorWindow::createNote() {
    restoreInputMethod();
    hide();
    if (m_applyQuestion)
        m_applyQuestion->close();
    applyToNote();
}

void EditorWindow::restoreInputMethod() {
    m_imeStatusSaved = false;
    InputMethod* ime = m_services.inputMethod;
    if (!ime)
        return;
    const std::optional<bool> open = ime->openStatus();
    if (!open)
        return;
    if (*open != m_savedImeOpen)
        ime->setOpenStatus(m_savedImeOpen);
}

void EditorWindow::textBoxFocused() {
    // Tab types a tab in the text, so no other control takes it meanwhile.
    for (QComboBox* combo : {m_fontNameBox, m_fontSizeBox})
        combo->setFocusPolicy(Qt::ClickFocus);
    InputMethod* ime = m_services.inputMethod;
    if (!ime)
        return;
    if (!m_imeStatusSaved) {
        if (const std::optional<bool> open = ime->openStatus()) {
            m_savedImeOpen = *open;
            m_imeStatusSaved = true;
        }
    }
    ime->setOpenStatus(true);
}

void EditorWindow::textBoxLeft() {
    for (QComboBox* combo : {m_fontNameBox, m_fontSizeBox}) {
        if (combo != m_droppedDownCombo)
            combo->setFocusPolicy(Qt::StrongFocus);
    }
}

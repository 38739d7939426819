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

void EditorWindow::ResetEditor() {
    ChangeTrackingArmed = false;
    Combo1->clear();
    Combo1->addItems(QFontDatabase::families());
    Combo1->setEditText(kDefaultFont);
    QFont base = NoteFont(kDefaultFont, 10);
    m_textBox->document()->setDefaultFont(base);
    Combo2->clear();
    for (int size : kSizes)
        Combo2->addItem(QString::number(size));
    Combo2->setEditText(QStringLiteral("10"));
    m_textBox->setBackColor(NoteColor::Yellow);
    checkColourItem(mYellow);
    m_textBox->setText(QString());
    m_textBox->setSelFontName(kDefaultFont);
    m_textBox->setSelFontSize(10);
    for (int button = 2; button <= 4; ++button)
        toolbar2Button(button)->setChecked(false);
    m_textBox->setSelBold(false);
    m_textBox->setSelItalic(false);
    m_textBox->setSelUnderline(false);
    dialogColour = QColor(0, 0, 0);
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
    UpdateUndoCommand();
    SetEditorDirty(0);
}

void EditorWindow::ShowEditor() {
    if (!m_state.EditorPlaced) {
        m_state.EditorPlaced = true;
        Twips::centreOnScreen(*this);
    }
    show();
}

void EditorWindow::CommitEditor() {
    NoteWindow* note = nullptr;
    const bool editing = !m_state.EditTargetTag.isEmpty();
    if (editing)
        note = m_state.liveNote(Tag::NoteIdOf(m_state.EditTargetTag));
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

void EditorWindow::SyncEditorColourMenu(const NoteWindow& note) {
    const auto items = colourItems();
    checkColourItem(nullptr);
    for (const auto& [colour, item] : items) {
        if (note.textBox()->backColor() == colour) {
            item->setChecked(true);
            return;
        }
    }
}

void EditorWindow::TrackEditorChange(qint32 value) {
    if (ChangeTrackingArmed)
        SetEditorDirty(value);
    else
        ChangeTrackingArmed = true;
}

bool EditorWindow::holdsUnappliedWork() const {
    return isVisible() && (IsEditorDirty() != 0 || (m_msgForm && m_msgForm->isVisible()));
}

bool EditorWindow::settleUnappliedWork() {
    if (!holdsUnappliedWork())
        return true;
    m_answer = 3;
    askToApply(true);
    return m_answer != 3;
}

void EditorWindow::openForEdit(NoteWindow& note) {
    // What the editor holds and the user has not applied is not replaced unasked.
    const QPointer<NoteWindow> target(&note);
    if (!settleUnappliedWork() || !target || target->tag().isEmpty())
        return;
    ResetEditor();
    m_state.EditTargetTag = note.tag().left(10);
    m_textBox->setTextRTF(note.textBox()->textRTF());
    m_textBox->setBackColor(note.textBox()->backColor());
    SyncEditorColourMenu(note);
    ShowEditor();
    ForceForeground(*this);
    m_textBox->setFocus();
    SaveAllNotes(m_state);
    SetEditorDirty(0);
}

void EditorWindow::openForNewNote(bool fromNoteMenu) {
    m_state.EditTargetTag.clear();
    if (!isVisible()) {
        ResetEditor();
        ShowEditor();
    }
    ForceForeground(*this);
    m_textBox->setFocus();
    if (fromNoteMenu) {
        SetEditorDirty(0);
        ChangeTrackingArmed = true;
    }
}

void EditorWindow::openFromTrayMenu(const std::function<void(QWidget&)>& centre) {
    m_state.EditTargetTag.clear();
    if (!m_state.EditorPlaced) {
        m_state.EditorPlaced = true;
        centre ? centre(*this) : Twips::centreOnScreen(*this);
    }
    if (!isVisible())
        ResetEditor();
    show();
    m_textBox->setFocus();
    ChangeTrackingArmed = true;
}

void EditorWindow::mCreate_Click() {
    RestoreImeState();
    hide();
    if (m_msgForm)
        m_msgForm->close();
    CommitEditor();
}

void EditorWindow::RestoreImeState() {
    ImeStatusSaved = false;
    InputMethod* ime = m_services.inputMethod;
    if (!ime)
        return;
    const std::optional<bool> open = ime->openStatus();
    if (!open)
        return;
    if (*open && SavedImeOpen == 0)
        ime->setOpenStatus(false);
    else if (!*open && SavedImeOpen == 1)
        ime->setOpenStatus(true);
}

void EditorWindow::Rich1_GotFocus() {
    // Tab types a tab in the text, so no other control takes it meanwhile.
    for (QComboBox* combo : {Combo1, Combo2})
        combo->setFocusPolicy(Qt::ClickFocus);
    InputMethod* ime = m_services.inputMethod;
    if (!ime)
        return;
    if (!ImeStatusSaved) {
        if (const std::optional<bool> open = ime->openStatus()) {
            SavedImeOpen = *open ? 1 : 0;
            ImeStatusSaved = true;
        }
    }
    ime->setOpenStatus(true);
}

void EditorWindow::Rich1_LostFocus() {
    for (QComboBox* combo : {Combo1, Combo2}) {
        if (combo != DroppedDownCombo)
            combo->setFocusPolicy(Qt::StrongFocus);
    }
}

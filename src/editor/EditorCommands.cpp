// The editor's clipboard, undo and background-colour commands and the enabled
// state of their buttons and menu items.
#include "editor/EditorWindow.h"
#include "note/NoteColor.h"
#include "platform/RichTextBox.h"

#include <QMimeData>

void EditorWindow::EditorCut() {
    m_textBox->cut();
    UpdateUndoCommand();
    UpdateSelectionCommands();
    SetEditorDirty(1);
}

void EditorWindow::EditorCopy() {
    m_textBox->copy();
    UpdateUndoCommand();
    UpdateSelectionCommands();
}

void EditorWindow::EditorPaste() {
    m_textBox->paste();
    UpdateSelectionCommands();
    UpdateUndoCommand();
    SetEditorDirty(1);
}

void EditorWindow::EditorDelete() {
    m_textBox->deleteSelection();
    UpdateUndoCommand();
    UpdateSelectionCommands();
    SetEditorDirty(1);
}

void EditorWindow::EditorUndo() {
    // One step only: what was undone cannot be undone again.
    m_textBox->undo();
    m_textBox->emptyUndoBuffer();
    UpdateUndoCommand();
    SetEditorDirty(1);
}

void EditorWindow::SetEditorBackColour(qint32 colour) {
    m_textBox->setBackColor(colour);
    SetEditorDirty(1);
    const auto items = colourItems();
    for (const auto& [c, item] : items) {
        if (c == colour) {
            checkColourItem(item);
            return;
        }
    }
}

std::array<std::pair<qint32, QAction*>, 6> EditorWindow::colourItems() const {
    return {{{NoteColor::Yellow, mYellow},
             {NoteColor::Green, mGreen},
             {NoteColor::Blue, mBlue},
             {NoteColor::Red, mRed},
             {NoteColor::Purple, mPurple},
             {NoteColor::White, mWhite}}};
}

void EditorWindow::checkColourItem(QAction* item) {
    for (const auto& [colour, a] : colourItems())
        a->setChecked(a == item);
}

void EditorWindow::UpdateSelectionCommands() {
    const bool selected = m_textBox->selLength() != 0;
    toolbar1Button(3)->setEnabled(selected);
    mCut->setEnabled(selected);
    toolbar1Button(4)->setEnabled(selected);
    mCopy->setEnabled(selected);
    const bool text = RichTextBox::clipboardHasText();
    toolbar1Button(5)->setEnabled(text);
    mPast->setEnabled(text);
    toolbar1Button(6)->setEnabled(selected);
    mDel->setEnabled(selected);
}

void EditorWindow::UpdateUndoCommand() {
    const bool can = m_textBox->canUndo();
    toolbar1Button(7)->setEnabled(can);
    mUndo->setEnabled(can);
    if (!can)
        UpdateSelectionCommands();
}

void EditorWindow::Toolbar1_ButtonClick(const QString& key) {
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"付箋紙生成", [this] { mCreate_Click(); }},
        {"切り取り", [this] { EditorCut(); }},
        {"コピー", [this] { EditorCopy(); }},
        {"貼り付け", [this] { EditorPaste(); }},
        {"削除", [this] { EditorDelete(); }},
        {"アンドゥ", [this] { EditorUndo(); }},
        {"背景色黄", [this] { SetEditorBackColour(NoteColor::Yellow); }},
        {"背景色緑", [this] { SetEditorBackColour(NoteColor::Green); }},
        {"背景色青", [this] { SetEditorBackColour(NoteColor::Blue); }},
        {"背景色紫", [this] { SetEditorBackColour(NoteColor::Purple); }},
        {"背景色赤", [this] { SetEditorBackColour(NoteColor::Red); }},
        {"背景色白", [this] { SetEditorBackColour(NoteColor::White); }},
    };
    for (const auto& [name, command] : commands) {
        if (key == QString::fromUtf8(name)) {
            command();
            return;
        }
    }
}

void EditorWindow::Rich1_Drop(const QMimeData* data) {
    for (const QString& type : RichTextBox::rtfMimeTypes()) {
        if (data->hasFormat(type)) {
            m_textBox->setTextRTF(data->data(type));
            return;
        }
    }
    if (data->hasText())
        m_textBox->setText(data->text());
}

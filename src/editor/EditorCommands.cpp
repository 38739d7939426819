// The editor's clipboard, undo and background-colour commands and the enabled
// state of their buttons and menu items.
#include "editor/EditorWindow.h"
#include "note/NoteColor.h"
#include "platform/RichTextBox.h"

#include <QMimeData>

void EditorWindow::cut() {
    m_textBox->cut();
    updateUndoCommand();
    updateSelectionCommands();
    setDirty(true);
}

void EditorWindow::copy() {
    m_textBox->copy();
    updateUndoCommand();
    updateSelectionCommands();
}

void EditorWindow::paste() {
    m_textBox->paste();
    updateSelectionCommands();
    updateUndoCommand();
    setDirty(true);
}

void EditorWindow::deleteSelection() {
    m_textBox->deleteSelection();
    updateUndoCommand();
    updateSelectionCommands();
    setDirty(true);
}

void EditorWindow::undo() {
    // One step only: what was undone cannot be undone again.
    m_textBox->undo();
    m_textBox->emptyUndoBuffer();
    updateUndoCommand();
    setDirty(true);
}

void EditorWindow::setNoteColour(qint32 colour) {
    m_textBox->setBackColor(colour);
    setDirty(true);
    const auto items = colourItems();
    for (const auto& [c, item] : items) {
        if (c == colour) {
            checkColourItem(item);
            return;
        }
    }
}

std::array<std::pair<qint32, QAction*>, 6> EditorWindow::colourItems() const {
    return {{{NoteColor::Yellow, m_yellow},
             {NoteColor::Green, m_green},
             {NoteColor::Blue, m_blue},
             {NoteColor::Red, m_red},
             {NoteColor::Purple, m_purple},
             {NoteColor::White, m_white}}};
}

void EditorWindow::checkColourItem(QAction* item) {
    for (const auto& [colour, a] : colourItems())
        a->setChecked(a == item);
}

void EditorWindow::updateSelectionCommands() {
    const bool selected = m_textBox->selLength() != 0;
    commandBarButton(3)->setEnabled(selected);
    m_cut->setEnabled(selected);
    commandBarButton(4)->setEnabled(selected);
    m_copy->setEnabled(selected);
    const bool text = RichTextBox::clipboardHasText();
    commandBarButton(5)->setEnabled(text);
    m_paste->setEnabled(text);
    commandBarButton(6)->setEnabled(selected);
    m_delete->setEnabled(selected);
}

void EditorWindow::updateUndoCommand() {
    const bool can = m_textBox->canUndo();
    commandBarButton(7)->setEnabled(can);
    m_undo->setEnabled(can);
    if (!can)
        updateSelectionCommands();
}

void EditorWindow::commandBarClicked(const QString& key) {
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"付箋紙生成", [this] { createNote(); }},
        {"切り取り", [this] { cut(); }},
        {"コピー", [this] { copy(); }},
        {"貼り付け", [this] { paste(); }},
        {"削除", [this] { deleteSelection(); }},
        {"アンドゥ", [this] { undo(); }},
        {"背景色黄", [this] { setNoteColour(NoteColor::Yellow); }},
        {"背景色緑", [this] { setNoteColour(NoteColor::Green); }},
        {"背景色青", [this] { setNoteColour(NoteColor::Blue); }},
        {"背景色紫", [this] { setNoteColour(NoteColor::Purple); }},
        {"背景色赤", [this] { setNoteColour(NoteColor::Red); }},
        {"背景色白", [this] { setNoteColour(NoteColor::White); }},
    };
    for (const auto& [name, command] : commands) {
        if (key == QString::fromUtf8(name)) {
            command();
            return;
        }
    }
}

void EditorWindow::textDropped(const QMimeData* data) {
    for (const QString& type : RichTextBox::rtfMimeTypes()) {
        if (data->hasFormat(type)) {
            m_textBox->setTextRTF(data->data(type));
            return;
        }
    }
    if (data->hasText())
        m_textBox->setText(data->text());
}

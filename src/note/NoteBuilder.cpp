#include "note/NoteBuilder.h"

#include "note/AppState.h"
#include "note/NoteColor.h"
#include "note/NoteLayout.h"
#include "note/NoteWindow.h"
#include "platform/MessageBox.h"
#include "platform/RichTextBox.h"
#include "store/NoteRecord.h"
#include "store/PeelLog.h"
#include "store/PeeledNotes.h"
#include "store/SaveAllNotes.h"
#include "store/Tag.h"

#include <QTimer>

namespace {

// NoteCount grows by one, with one spare slot above it, and a new note with this
// content and a new Tag takes it.
NoteWindow* appendNote(AppState& state, const QByteArray& rtf, qint32 backColor) {
    state.noteCount += 1;
    state.noteWindows.resize(state.noteCount + 2);
    auto* note = new NoteWindow(state);
    state.noteWindows[state.noteCount] = note;
    note->textBox()->setTextRTF(rtf);
    note->textBox()->setBackColor(backColor);
    note->setTag(Tag::MakeNewTag(state.noteCount, state.now()));
    return note;
}

// The end of building a duplicated or a received note: fitted inside its size,
// shown (centred, as it is not placed yet), brought forward and saved.
void showCopiedNote(AppState& state, NoteWindow& note) {
    FitNoteToContent(state, note, false);
    StretchTextBox(note);
    StretchMouseSurface(note);
    ShowNote(note);
    ForceForeground(note);
    SaveAllNotes(state);
}

} // namespace

NoteWindow* BuildPlaceholder(AppState& state) {
    auto* placeholder = new NoteWindow(state);
    placeholder->setTag(Tag::PlaceholderTag());
    placeholder->moveTwips(0, 0, 4005, 495);
    placeholder->textBox()->move(0, 0);
    placeholder->textBox()->setBackColor(NoteColor::Yellow);
    placeholder->textBox()->setText(QStringLiteral("\r\n"));
    if (state.noteWindows.isEmpty())
        state.noteWindows.resize(2);
    delete state.noteWindows.at(0).data();
    state.noteWindows[0] = placeholder;
    return placeholder;
}

NoteWindow* RestoreNote(AppState& state, qint32 slot, const NoteRecord& record) {
    auto* note = new NoteWindow(state);
    state.noteWindows[slot] = note;
    note->setTag(Tag::TagFromRecord(record));
    note->moveTwips(record.left, record.top, record.width, record.height);
    note->textBox()->move(0, 0);
    note->textBox()->setBackColor(record.backColor);
    note->textBox()->setTextRTF(record.textRtf);
    FitNoteToContent(state, *note, false);
    StretchTextBox(*note);
    StretchMouseSurface(*note);
    return note;
}

NoteWindow* BringBackPeeledNote(AppState& state, NoteRecord record) {
    if (state.noteCount == 0 || !state.noteWindows.value(0))
        BuildPlaceholder(state);
    state.noteCount += 1;
    state.noteWindows.resize(state.noteCount + 2);
    record.index = state.noteCount;
    record.visibleFlag = "T";
    NoteWindow* note = RestoreNote(state, state.noteCount, record);
    ShowNote(*note);
    ForceForeground(*note);
    return note;
}

NoteWindow* AppendWrittenNote(AppState& state, const QByteArray& rtf, qint32 backColor) {
    NoteWindow* note = appendNote(state, rtf, backColor);
    if (state.noteCount == 1 || !state.noteWindows.at(0))
        BuildPlaceholder(state);
    return note;
}

void ShowWrittenNote(AppState& state, NoteWindow& note) {
    StretchTextBox(note);
    FitNoteToContent(state, note, true);
    FitNoteToContent(state, note, true);
    StretchMouseSurface(note);
    ShowNote(note);
    ForceForeground(note);
    SaveAllNotes(state);
}

NoteWindow* DuplicateNote(AppState& state, const NoteWindow& source) {
    NoteWindow* copy = appendNote(state, source.textBox()->textRTF(), source.textBox()->backColor());
    // The copy keeps its own initial place; this resize lays it out and saves.
    copy->resize(source.size());
    showCopiedNote(state, *copy);
    return copy;
}

NoteWindow* BuildReceivedNote(AppState& state, const QByteArray& rtf, qint32 backColor, double width, double height) {
    NoteWindow* note = appendNote(state, rtf, backColor);
    note->moveTwips(0, 0, width, height);
    showCopiedNote(state, *note);
    return note;
}

void ShowDroppedOnNote(AppState& state, NoteWindow& note) {
    FitNoteToContent(state, note, true);
    FitNoteToContent(state, note, true);
    StretchTextBox(note);
    StretchMouseSurface(note);
    ShowNote(note);
    ForceForeground(note);
    SaveAllNotes(state);
}

void UnloadNote(NoteWindow& note) {
    note.setTag(QString());
    note.peelTimer()->stop();
    note.hide();
    // A handler of the note (its menu, its timer) may still be on the stack.
    note.deleteLater();
}

bool KeepPeeledNote(AppState& state, const NoteWindow& note) {
    if (PeeledNotes::add(state.peeledNotesPath(), {BuildNoteRecords({nullptr, &note}, 1).constFirst(), state.now()}))
        return true;
    MessageBox::show(QStringLiteral("はがした付箋紙を %1 に残せないため、付箋紙をはがしませんでした。\n"
                                    "ディスクの空きと書き込みの権限を確かめてください。")
                         .arg(state.peeledNotesPath()));
    return false;
}

bool PeelNoteWithLog(AppState& state, NoteWindow& note) {
    if (!KeepPeeledNote(state, note))
        return true; // the note stays on the desktop; the user was told why
    if (AppendPeelLog(note, state.peelLogPath(), state.now()) != -1)
        return false;
    UnloadNote(note);
    SaveAllNotes(state);
    return true;
}

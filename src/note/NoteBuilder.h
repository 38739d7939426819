#pragma once

#include <QByteArray>
#include <QString>

struct AppState;
struct NoteRecord;
class NoteWindow;

// Every note window is built here, each kind in the order the program builds it.
//
// Ownership: a note window belongs to its slot in AppState::NoteWindows from the
// moment it is built. Peeling unloads it (UnloadNote: the Tag is emptied, the slot
// is dead, the window deleted once its handlers have returned); shutdown hides the
// windows and hands them to AppState::ClosedNotes; the AppState deletes whatever it
// still holds when it goes (in the program the process ends first).

// The hidden placeholder in slot 0.
NoteWindow* BuildPlaceholder(AppState& state);

// A saved note into slot, laid out but not shown yet (start-up shows the notes).
NoteWindow* RestoreNote(AppState& state, qint32 slot, const NoteRecord& record);

// A peeled note back on the desktop, whole, in the next slot: its text, colour, size
// and place (brought onto a screen when none shows that place), shown and brought
// forward. Not saved yet.
NoteWindow* BringBackPeeledNote(AppState& state, NoteRecord record);

// A note written in the editor, in the next slot with a new Tag; with no note
// before it, slot 0 gets a fresh placeholder too. Not laid out yet: see
// ShowWrittenNote.
NoteWindow* AppendWrittenNote(AppState& state, const QByteArray& rtf, qint32 backColor);

// Lays out a note the editor has just written or changed, shows it, brings it
// forward and saves.
void ShowWrittenNote(AppState& state, NoteWindow& note);

// A copy of source in the next slot, with a new Tag, the same content, colour and
// size, centred on the screen, brought forward and saved.
NoteWindow* DuplicateNote(AppState& state, const NoteWindow& source);

// A note received from another computer, in the next slot with a new Tag: the
// sender's RTF, colour and size (twips), fitted inside that size, centred,
// brought forward and saved.
NoteWindow* BuildReceivedNote(AppState& state, const QByteArray& rtf, qint32 backColor, double width, double height);

// Lays out a note whose content grew by a drop, shows it, brings it forward and saves.
void ShowDroppedOnNote(AppState& state, NoteWindow& note);

// Takes a note off the desktop for good: its slot is dead from now on. Does not save.
void UnloadNote(NoteWindow& note);

// Appends the note's entry to the peel log, then unloads it and saves. False, with
// the note left as it was and nothing saved, when the log cannot be written.
bool PeelNoteWithLog(AppState& state, NoteWindow& note);

// Keeps the note as it is among the peeled notes before it is peeled; false (and the
// user told) when that cannot be written, and the note must then stay.
bool KeepPeeledNote(AppState& state, const NoteWindow& note);

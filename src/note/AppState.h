#pragma once

#include "note/DragData.h"
#include "store/DailyBackup.h"

#include <QDateTime>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class NoteWindow;
class NoteHost;

// The state that every part of the running program shares. The application owns
// one; tests make a fresh one each.
struct AppState {
    AppState() = default;
    // Deletes the note windows it still holds.
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    QString appDir; // with its trailing "/"

    // Slot 0 is the hidden placeholder; slots 1 to noteCount hold the notes in
    // creation order. A slot whose window is gone or has an empty Tag is dead.
    QList<QPointer<NoteWindow>> noteWindows;
    qint32 noteCount = 0;
    // The windows of the notes after shutdown, hidden; see NoteBuilder.h.
    QList<QPointer<NoteWindow>> closedNotes;

    bool loading = true;
    bool fitting = false;
    bool shuttingDown = false;
    bool exitRequested = false;
    bool exitConfirmed = false;
    bool editorPlaced = false;
    QString editTargetTag;

    qint16 dragMode = 1; // 1 copy, log and peel; 2 copy only; 3 copy and peel
    qint16 dragDataFormat = DragData::PlainText;
    qint32 portNumber = 2000;
    // Whose notes are received: from every computer, only from those named in
    // receiveFrom (as the computer list names them), or from none.
    enum class Receiving : qint16 { FromEveryone = 0, FromChosen = 1, FromNobody = 2 };
    Receiving receiveMode = Receiving::FromEveryone;
    QStringList receiveFrom;

    // The last pointer position of a note being moved, screen pixels.
    QPoint dragAnchor;

    NoteHost* host = nullptr;
    // The note whose menu chose 送信, until the send window has sent it.
    QPointer<NoteWindow> noteToSend;
    // How many times the data file was rewritten since start-up.
    mutable int saveCount = 0;
    // Whether the last rewrite failed; the user hears of a failure once, not on
    // every change that follows it.
    mutable bool saveFailing = false;
    // The day's copies of the data file, made before its saves; whether the user was
    // told that one could not be made, once until one can.
    mutable DailyBackup::Keeper dailyCopies;
    mutable bool dailyCopyFailing = false;
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    QString dataFilePath() const;
    QString peelLogPath() const;
    QString peeledNotesPath() const;
    // The live note in a slot, or nullptr for the placeholder, a dead or an unused slot.
    NoteWindow* liveNote(qint32 slot) const;
};

// Rewrites the data file from the live notes, after the day's copy. When that fails
// the notes stay on the screen and the next change tries again; the first failure
// after a good save tells the user, so that nobody quits trusting notes that were
// never saved. A day's copy that cannot be made is told once too.
int SaveAllNotes(const AppState& state);

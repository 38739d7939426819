#include "note/AppState.h"

#include "note/FusenForm.h"
#include "store/NoteFileIO.h"
#include "store/PeelLog.h"
#include "store/SaveAllNotes.h"

QString AppState::dataFilePath() const {
    return AppDir + QLatin1String(kNoteFileName);
}

QString AppState::peelLogPath() const {
    return AppDir + QLatin1String(kPeelLogFileName);
}

FusenForm* AppState::liveNote(qint32 slot) const {
    if (slot < 1 || slot > NoteCount || slot >= NoteWindows.size())
        return nullptr;
    FusenForm* note = NoteWindows.at(slot);
    return note && !note->tag().isEmpty() ? note : nullptr;
}

int SaveAllNotes(const AppState& state) {
    QList<const NoteView*> windows;
    windows.reserve(state.NoteWindows.size());
    for (const QPointer<FusenForm>& note : state.NoteWindows)
        windows.append(note.data());
    ++state.SaveCount;
    return SaveAllNotes(windows, state.NoteCount, state.dataFilePath());
}

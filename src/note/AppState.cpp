#include "note/AppState.h"

#include "note/NoteWindow.h"
#include "platform/MessageBox.h"
#include "store/DailyBackup.h"
#include "store/DataFile.h"
#include "store/PeelLog.h"
#include "store/PeeledNotes.h"
#include "store/SaveAllNotes.h"

AppState::~AppState() {
    for (QList<QPointer<NoteWindow>>* windows : {&noteWindows, &closedNotes}) {
        for (const QPointer<NoteWindow>& note : std::as_const(*windows))
            delete note.data();
    }
}

QString AppState::dataFilePath() const {
    return appDir + QLatin1String(kNoteFileName);
}

QString AppState::peelLogPath() const {
    return appDir + QLatin1String(kPeelLogFileName);
}

QString AppState::peeledNotesPath() const {
    return appDir + QLatin1String(PeeledNotes::kFileName);
}

NoteWindow* AppState::liveNote(qint32 slot) const {
    if (slot < 1 || slot > noteCount || slot >= noteWindows.size())
        return nullptr;
    NoteWindow* note = noteWindows.at(slot);
    return note && !note->tag().isEmpty() ? note : nullptr;
}

int SaveAllNotes(const AppState& state) {
    QList<const NoteView*> windows;
    windows.reserve(state.noteWindows.size());
    for (const QPointer<NoteWindow>& note : state.noteWindows)
        windows.append(note.data());
    ++state.saveCount;
    const bool copyFailed =
        state.dailyCopies.beforeSave(state.dataFilePath(), state.now().date()) == DailyBackup::Keeper::Result::Failed;
    const int saved = SaveAllNotes(windows, state.noteCount, state.dataFilePath());
    if (!saved && !state.saveFailing) {
        MessageBox::notify(
            QStringLiteral("付箋紙を保存できませんでした。\n%1\n\n"
                           "付箋紙は画面に残っています。ディスクの空きと書き込みの権限を確かめてください。"
                           "次に付箋紙を変更した時に、もう一度保存します。")
                .arg(state.dataFilePath()));
    }
    state.saveFailing = !saved;
    // A save that failed has told of the disk already.
    if (!copyFailed) {
        state.dailyCopyFailing = false;
    } else if (saved && !state.dailyCopyFailing) {
        state.dailyCopyFailing = true;
        MessageBox::notify(QStringLiteral("その日の付箋紙の控え（%1）を作れませんでした。\n"
                                          "付箋紙は保存されています。ディスクの空きと書き込みの権限を確かめてください。"
                                          "次に付箋紙を保存する時に、もう一度作ります。")
                               .arg(DailyBackup::pathFor(state.dataFilePath(), state.now().date())));
    }
    return saved;
}

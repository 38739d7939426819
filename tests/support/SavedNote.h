#pragma once

#include "store/NoteFile.h"

// A note as the data file keeps it: 3000 × 1500 twips (200 × 100 pixels at 96 dpi),
// yellow, visible, at its saved place (twips), created at a fixed time.
inline NoteRecord SavedNote(qint32 left, qint32 top, const QByteArray& rtf) {
    NoteRecord r;
    r.index = 1;
    r.left = left;
    r.top = top;
    r.height = 1500;
    r.width = 3000;
    r.backColor = 0x0098FFFF;
    r.textRtf = rtf;
    r.createdAt = "04/07/01 09:15:00";
    r.visibleFlag = "T";
    r.placeOnShowFlag = "F";
    return r;
}

// A data file holding these notes: their count, the notes, and the empty filler record.
inline QByteArray DataFileOf(QList<NoteRecord> notes) {
    const qint32 count = qint32(notes.size());
    notes << NoteRecord{};
    return NoteFile::encode(count, notes);
}

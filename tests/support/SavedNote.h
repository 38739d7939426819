#pragma once

#include "store/NoteFile.h"

// A note as the data file keeps it: 3000 × 1500 twips (200 × 100 pixels at 96 dpi),
// yellow, visible, at its saved place (twips), created at a fixed time.
inline NoteRecord SavedNote(qint32 left, qint32 top, const QByteArray& rtf) {
    NoteRecord r;
    r.Index = 1;
    r.Left = left;
    r.Top = top;
    r.Height = 1500;
    r.Width = 3000;
    r.BackColor = 0x0098FFFF;
    r.TextRTF = rtf;
    r.CreatedAt = "04/07/01 09:15:00";
    r.VisibleFlag = "T";
    r.PlaceOnShowFlag = "F";
    return r;
}

// A data file holding these notes: their count, the notes, and the empty filler record.
inline QByteArray DataFileOf(QList<NoteRecord> notes) {
    const qint32 count = qint32(notes.size());
    notes << NoteRecord{};
    return NoteFile::encode(count, notes);
}

#pragma once

#include "store/NoteRecord.h"

#include <QList>
#include <QString>

class NoteView;

// The records for the live notes among slots 1 to noteCount of noteWindows (slot
// 0 is the placeholder; empty Tags and missing windows are dead slots), numbered
// 1 to i without gaps, followed by the empty filler.
QList<NoteRecord> BuildNoteRecords(const QList<const NoteView*>& noteWindows, qint32 noteCount);

// Rewrites the whole data file at path from the live notes. Returns the result of
// the write (-1 or 0).
int SaveAllNotes(const QList<const NoteView*>& noteWindows, qint32 noteCount, const QString& path);

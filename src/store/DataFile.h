#pragma once

#include "store/NoteRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

constexpr const char* kNoteFileName = "Pinora.dat";

// Reads or writes the whole data file in one piece. Writing stores count and, when
// it is positive, records 0 to count; the old file is replaced only once the new
// one is safely on the disk. Reading sets count and records from the file, with the
// Index of every record renumbered to its position. Returns -1 on success and 0 on
// any failure (a missing file included); a failed read leaves count 0.
int NoteFileIO(qint32& count, const QString& path, bool writing, QList<NoteRecord>& records);

// What start-up gets from the data file.
struct NoteFileLoad {
    // Damaged: only the notes before the first one that is not whole were read.
    // Recovered: the data file was missing, and the notes come from a damaged file that
    // an earlier start had to rename aside (no room for a copy) before any save.
    enum class Status { Loaded, Missing, Damaged, Unreadable, Recovered };
    Status status = Status::Missing;
    qint32 count = 0;
    QList<NoteRecord> records;
    // For a damaged or unreadable file: where its bytes were kept, empty if they
    // could not be kept.
    QString keptAsidePath;
};

// Reads the data file at start-up. The bytes of a file that is there but cannot be
// read whole are kept aside before anything can write the data file again, so the
// first save does not destroy notes that may still be recovered from them: an
// unreadable file is renamed to Pinora-unreadable-<time>.dat, a damaged one copied
// to Pinora-damaged-<time>.dat (renamed when no copy can be written). While no save
// has written the data file again, the newest such file is read in its place.
NoteFileLoad LoadNoteFile(const QString& path, const QDateTime& now);

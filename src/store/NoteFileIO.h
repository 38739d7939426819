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
    enum class Status { Loaded, Missing, Unreadable };
    Status status = Status::Missing;
    qint32 count = 0;
    QList<NoteRecord> records;
    // For an unreadable file: where it was kept, empty if it could not be moved.
    QString keptAsidePath;
};

// Reads the data file at start-up. A file that is there but cannot be read as notes
// is renamed aside before anything can write the data file again, so the first
// save does not destroy notes that may still be recovered from it.
NoteFileLoad LoadNoteFile(const QString& path, const QDateTime& now);

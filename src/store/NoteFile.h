#pragma once

#include "store/NoteRecord.h"

#include <QList>
#include <optional>

// The byte layout of Pinora.dat:
//
//   int32 N, then, only when N > 0, N + 1 records (the last an empty filler).
//   record: int32 Index, Left, Top, Height, Width, BackColor, then the strings
//           TextRTF, CreatedAt, VisibleFlag, PlaceOnShowFlag, each a uint16 byte
//           count followed by the bytes.
//
// All integers little-endian, no padding. A string of 65535 bytes or more, which
// the 16-bit count cannot hold (a note with a picture), is written as the count
// 0xFFFF followed by a uint32 byte count; every shorter string keeps the plain
// layout, so files without such notes are unchanged.
namespace NoteFile {

// The largest number of notes a file may claim; the slot loops count with 16 bits.
constexpr qint32 kMaxNotes = 32767;

// The file for count notes. records supplies the first count + 1 records
// (missing ones are written empty); with count 0 only the count is written.
QByteArray encode(qint32 count, const QList<NoteRecord>& records);

// One record in the file's layout, for other files that keep notes whole.
void appendRecord(QByteArray& out, const NoteRecord& record);
// The record at pos, and pos moved past it; nothing (pos unmoved) when the bytes end
// inside it or it cannot be a note.
std::optional<NoteRecord> readRecord(const QByteArray& bytes, qsizetype& pos);

// The smallest record: six integers and four empty strings.
constexpr qsizetype kMinRecordSize = 6 * 4 + 4 * 2;

struct Contents {
    qint32 count = 0;
    QList<NoteRecord> records; // count + 1 entries when count > 0, else empty
    // The file holds less than its count and string lengths promise (it was cut
    // off, or a count or length is damaged), or a record cannot be a note. count
    // and records then hold the notes before the first one that is not whole.
    bool damaged = false;
};

// Reads a whole file. Returns nothing for bytes that cannot be notes at all: a
// truncated count, or one that is negative or above kMaxNotes. A record is taken
// only when it lies wholly inside the file and its time stamp and flags fit in a
// Tag; the first one that does not ends the notes and marks the file damaged, so
// a count is never believed beyond what the file can hold.
std::optional<Contents> decode(const QByteArray& bytes);

} // namespace NoteFile

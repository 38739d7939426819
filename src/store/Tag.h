#pragma once

#include <QDateTime>
#include <QString>

struct NoteRecord;

// The Tag is the identity and state string every note window carries:
//
//   positions 1-10   NoteId, the slot number as ten zero-padded digits
//             11     "%"
//             12-28  CreatedAt, "yy/mm/dd hh:nn:ss"
//             29     "%"
//             30     VisibleFlag      "T" shown, "F" hidden
//             31     "%"
//             32     PlaceOnShowFlag  "T" centre it the next time it is shown
//
// Positions are 1-based throughout, as the flags are addressed by position.
// An empty Tag marks a dead slot.
namespace Tag {

constexpr int kVisibleFlag = 30;
constexpr int kPlaceOnShowFlag = 32;

// "yy/mm/dd hh:nn:ss", 17 characters, local time as given.
QString FormatTimeStamp(const QDateTime& time);

// The 32-character Tag of a note in the given slot.
QString MakeTag(qint32 noteId, const QString& createdAt, const QString& visibleFlag, const QString& placeOnShowFlag);

// The Tag of a note that has just been made (new, copied or received): both flags "T".
QString MakeNewTag(qint32 noteId, const QDateTime& createdAt);

// The 33-character Tag of the hidden placeholder in slot 0.
QString PlaceholderTag();

// Characters 12-28, or what of them exists.
QString CreatedAtOf(const QString& tag);

// The leading ten characters read as a number (0 when they are not digits).
qint32 NoteIdOf(const QString& tag);

// True when the Tag reaches position and the character there is anything but "F".
bool GetTagFlag(const QString& tag, int position);

// Writes "T" or "F" at position, padding a short Tag with "%" so the flag lands there.
// An empty Tag is left alone and 0 returned; otherwise -1.
int SetTagFlag(QString& tag, int position, bool value);

// The Tag of a note restored from a record: Index, CreatedAt and the two flags,
// as they stand in the record (32 characters for a well-formed one).
QString TagFromRecord(const NoteRecord& record);

} // namespace Tag

#pragma once

#include "store/NoteRecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Notes as they were when they were peeled, kept in a file of their own beside the
// data file so that a note peeled by mistake can be put back whole. The file holds a
// marker line, then for each note the time it was peeled (int64 milliseconds since
// the epoch, little-endian) and its record in the data file's layout; oldest first.
struct PeeledNote {
    NoteRecord record;
    QDateTime peeledAt;
    bool operator==(const PeeledNote&) const = default;
};

namespace PeeledNotes {

inline constexpr const char* kFileName = "Pinora-peeled.dat";
// The newest kKeepAtLeast notes stay, and any peeled within kKeepDays.
constexpr int kKeepAtLeast = 500;
constexpr int kKeepDays = 90;

QByteArray encode(const QList<PeeledNote>& notes);

struct Contents {
    QList<PeeledNote> notes;
    bool damaged = false; // the notes are those before the first that is not whole
};
// An empty file reads as no notes; bytes without the marker as damaged, with none.
Contents decode(const QByteArray& bytes);

// The notes of the file at path: none when it is missing. A damaged file's bytes are
// copied aside (Pinora-peeled-damaged-<time>.dat) before anything writes it again.
Contents load(const QString& path, const QDateTime& now);

// What stays of notes after a new one: the rule of kKeepAtLeast and kKeepDays.
QList<PeeledNote> pruned(QList<PeeledNote> notes, const QDateTime& now);

// Adds a note to the file (written safely, pruned). False when it could not be written.
bool add(const QString& path, const PeeledNote& note);
// Takes these notes out of the file, each where it is now (the file may have changed
// since they were read from it); one not there any more is left alone. False when
// the file could not be written.
bool remove(const QString& path, const QList<PeeledNote>& which, const QDateTime& now);

} // namespace PeeledNotes

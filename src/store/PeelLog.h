#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class NoteView;

constexpr const char* kPeelLogFileName = "Pinora.log";

// One entry of the peel log, UTF-8 with CR LF line ends:
//   [作成した日時=<CreatedAt>]
//   [はがした日時=<peeledAt>]
//   <the note's text>
//   <empty line>
//   <empty line>
QByteArray PeelLogEntry(const QString& createdAt, const QDateTime& peeledAt, const QString& plainText);

// Appends the entry for note to the log at path in a single write, creating the
// file when missing. Returns -1 on success and 0 on any failure.
int AppendPeelLog(const NoteView& note, const QString& path, const QDateTime& peeledAt);

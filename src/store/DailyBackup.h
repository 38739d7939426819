#pragma once

#include <QDate>
#include <QString>

// A copy of the data file for each of the last days it changed: before the first
// save of a calendar day, the file as it stood is kept beside it as
// Pinora-backup-YYYYMMDD.dat (byte for byte, written safely), and only the newest
// kKept such copies stay. A file that is missing or not whole is not copied: those
// are kept aside by start-up already.
namespace DailyBackup {

constexpr int kKept = 7;

QString pathFor(const QString& dataPath, const QDate& day);

// False only when a copy was due and could not be written.
bool keep(const QString& dataPath, const QDate& today);

} // namespace DailyBackup

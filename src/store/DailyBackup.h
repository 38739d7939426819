#pragma once

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>

// A copy of the data file for each of the last days it changed: before the first
// save of a calendar day, the file as it stood is kept beside it as
// Pinora-backup-YYYYMMDD.dat (byte for byte, written safely), and only the newest
// kKept such copies stay. A file that is missing or not whole is not copied: those
// are kept aside by start-up already.
namespace DailyBackup {

constexpr int kKept = 7;

QString pathFor(const QString& dataPath, const QDate& day);

// The copies of one data file, made before its saves.
class Keeper {
public:
    enum class Result { NotDue, Kept, Failed };

    // To be called before each save of the file at dataPath. When the day's copy
    // cannot be written (a full disk), the day's first state is held and written at
    // the next call, so that the copy still holds it once it can be written.
    Result beforeSave(const QString& dataPath, const QDate& today);

private:
    QMap<QDate, QByteArray> m_held; // the first state of days whose copy is still to be written
};

} // namespace DailyBackup

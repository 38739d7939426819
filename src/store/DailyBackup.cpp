#include "store/DailyBackup.h"

#include "platform/SafeFile.h"
#include "store/NoteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

Q_DECLARE_LOGGING_CATEGORY(lcStore)

namespace {

void dropOldCopies(const QString& dataPath) {
    const QFileInfo data(dataPath);
    const QRegularExpression name(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(data.completeBaseName()) + QStringLiteral("-backup-\\d{8}\\.") +
        QRegularExpression::escape(data.suffix())));
    QStringList copies = data.dir().entryList(QDir::Files, QDir::Name);
    copies.removeIf([&name](const QString& file) { return !name.match(file).hasMatch(); });
    for (qsizetype i = 0; i + DailyBackup::kKept < copies.size(); ++i)
        QFile::remove(data.dir().filePath(copies.at(i)));
}

} // namespace

namespace DailyBackup {

QString pathFor(const QString& dataPath, const QDate& day) {
    const QFileInfo data(dataPath);
    return data.dir().filePath(data.completeBaseName() + QStringLiteral("-backup-") +
                               day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('.') + data.suffix());
}

bool keep(const QString& dataPath, const QDate& today) {
    const QString copy = pathFor(dataPath, today);
    if (QFileInfo::exists(copy))
        return true; // today's copy holds the day's first state
    QFile file(dataPath);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = file.readAll();
    const std::optional<NoteFile::Contents> contents = NoteFile::decode(bytes);
    if (file.error() != QFileDevice::NoError || !contents || contents->damaged)
        return true;
    if (!SafeFile::write(copy, bytes)) {
        qCWarning(lcStore) << "cannot keep the day's copy" << copy;
        return false;
    }
    qCInfo(lcStore) << "kept the day's first state as" << copy;
    dropOldCopies(dataPath);
    return true;
}

} // namespace DailyBackup

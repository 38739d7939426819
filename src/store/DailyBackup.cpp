#include "store/DailyBackup.h"

#include "platform/SafeFile.h"
#include "store/NoteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcStore)

namespace {

// Only the newest copies stay. A copy dated after today (a clock that was once set
// ahead) counts as older than every other, so that it never pushes out today's.
void dropOldCopies(const QString& dataPath, const QDate& today) {
    const QFileInfo data(dataPath);
    const QRegularExpression name(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(data.completeBaseName()) + QStringLiteral("-backup-(\\d{8})\\.") +
        QRegularExpression::escape(data.suffix())));
    struct Copy {
        bool future;
        QString file;
    };
    QList<Copy> copies;
    for (const QString& file : data.dir().entryList(QDir::Files)) {
        if (const QRegularExpressionMatch match = name.match(file); match.hasMatch())
            copies.append({QDate::fromString(match.captured(1), QStringLiteral("yyyyMMdd")) > today, file});
    }
    std::sort(copies.begin(), copies.end(),
              [](const Copy& a, const Copy& b) { return std::tie(b.future, a.file) < std::tie(a.future, b.file); });
    for (qsizetype i = 0; i + DailyBackup::kKept < copies.size(); ++i)
        QFile::remove(data.dir().filePath(copies.at(i).file));
}

// The file's bytes when it is whole; nothing when it is missing or damaged.
std::optional<QByteArray> wholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const std::optional<NoteFile::Contents> contents = NoteFile::decode(bytes);
    if (file.error() != QFileDevice::NoError || !contents || contents->damaged)
        return std::nullopt;
    return bytes;
}

} // namespace

namespace DailyBackup {

QString pathFor(const QString& dataPath, const QDate& day) {
    const QFileInfo data(dataPath);
    return data.dir().filePath(data.completeBaseName() + QStringLiteral("-backup-") +
                               day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('.') + data.suffix());
}

Keeper::Result Keeper::beforeSave(const QString& dataPath, const QDate& today) {
    // Copies held since earlier days go under their own days' names.
    for (auto held = m_held.begin(); held != m_held.end();) {
        const QString earlier = pathFor(dataPath, held.key());
        if (held.key() != today && (QFileInfo::exists(earlier) || SafeFile::write(earlier, held.value())))
            held = m_held.erase(held);
        else
            ++held;
    }
    const QString copy = pathFor(dataPath, today);
    std::optional<QByteArray> bytes;
    if (QFileInfo::exists(copy))
        m_held.remove(today); // today's copy holds the day's first state
    else if (m_held.contains(today))
        bytes = m_held.value(today);
    else
        bytes = wholeFile(dataPath);
    if (bytes && !SafeFile::write(copy, *bytes)) {
        qCWarning(lcStore) << "cannot keep the day's copy" << copy << "- tried again at the next save";
        m_held.insert(today, *bytes);
        return Result::Failed;
    }
    if (bytes) {
        qCInfo(lcStore) << "kept the day's first state as" << copy;
        m_held.remove(today);
        dropOldCopies(dataPath, today);
    }
    if (!m_held.isEmpty())
        return Result::Failed;
    return bytes ? Result::Kept : Result::NotDue;
}

} // namespace DailyBackup

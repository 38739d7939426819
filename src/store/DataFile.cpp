#include "store/DataFile.h"

#include "platform/SafeFile.h"
#include "store/NoteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStore, "pinora.store", QtCriticalMsg)

namespace {

// Notes with pictures can be large, but a data file this big is not one of ours.
constexpr qint64 kMaxFileSize = qint64(1) << 30;

using Status = NoteFileLoad::Status;

Status readNoteFile(const QString& path, NoteFile::Contents& contents, QByteArray* bytesRead = nullptr) {
    QFile file(path);
    if (!file.exists())
        return Status::Missing;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize)
        return Status::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::Unreadable;
    std::optional<NoteFile::Contents> decoded = NoteFile::decode(bytes);
    if (!decoded)
        return Status::Unreadable;
    contents = std::move(*decoded);
    // Another tool may have written Index values that are not the positions; the
    // slot of a restored note must equal its NoteId.
    for (qint32 i = 0; i < contents.count; ++i)
        contents.records[i].index = i + 1;
    if (bytesRead)
        *bytesRead = bytes;
    return contents.damaged ? Status::Damaged : Status::Loaded;
}

QString asidePath(const QString& path, const QString& why, const QDateTime& now) {
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName() + QLatin1Char('-') + why + QLatin1Char('-') +
                                             now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString candidate = stem + suffix;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = stem + QLatin1Char('-') + QString::number(n) + suffix;
    return candidate;
}

// The newest damaged file kept aside beside the data file, or nothing.
QString newestKeptAside(const QString& path) {
    const QFileInfo info(path);
    const QStringList kept = info.dir().entryList(
        {info.completeBaseName() + QStringLiteral("-damaged-*.") + info.suffix()}, QDir::Files, QDir::Name);
    return kept.isEmpty() ? QString() : info.dir().filePath(kept.constLast());
}

// If the rename fails, so will every save: the data file is replaced by a rename in
// the same directory, which the same conditions forbid.
QString renameAside(const QString& path, const QString& aside) {
    return QFile::rename(path, aside) ? aside : QString();
}

} // namespace

int NoteFileIO(qint32& count, const QString& path, bool writing, QList<NoteRecord>& records) {
    if (writing) {
        if (count < 0 || count > NoteFile::kMaxNotes)
            return 0;
        return SafeFile::write(path, NoteFile::encode(count, records)) ? -1 : 0;
    }
    NoteFile::Contents contents;
    const Status status = readNoteFile(path, contents);
    if (status == Status::Missing || status == Status::Unreadable) {
        count = 0;
        records.clear();
        return 0;
    }
    count = contents.count;
    records = std::move(contents.records);
    return -1;
}

NoteFileLoad LoadNoteFile(const QString& path, const QDateTime& now) {
    NoteFileLoad load;
    NoteFile::Contents contents;
    QByteArray bytes;
    load.status = readNoteFile(path, contents, &bytes);
    if (load.status == Status::Missing) {
        // A start that found the file damaged and no room for a copy renamed it aside;
        // until a save writes the data file again its notes come from there.
        const QString kept = newestKeptAside(path);
        if (!kept.isEmpty() && readNoteFile(kept, contents) != Status::Unreadable && contents.count > 0) {
            load.status = Status::Recovered;
            load.keptAsidePath = kept;
            qCInfo(lcStore) << path << "is missing; its notes are read from" << kept;
        }
    }
    load.count = contents.count;
    load.records = std::move(contents.records);
    if (load.status == Status::Damaged) {
        // The file stays where it is until the first save replaces it with the notes
        // that were whole; a copy keeps every byte of it.
        const QString aside = asidePath(path, QStringLiteral("damaged"), now);
        load.keptAsidePath = SafeFile::write(aside, bytes) ? aside : renameAside(path, aside);
        qCInfo(lcStore) << path << "is damaged:" << bytes.size() << "bytes hold" << load.count
                        << "whole notes; its bytes are kept in" << load.keptAsidePath;
    } else if (load.status == Status::Unreadable) {
        load.keptAsidePath = renameAside(path, asidePath(path, QStringLiteral("unreadable"), now));
        qCInfo(lcStore) << path << "cannot be read as notes; it is kept as" << load.keptAsidePath;
    }
    return load;
}

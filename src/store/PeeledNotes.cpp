#include "store/PeeledNotes.h"

#include "platform/SafeFile.h"
#include "store/NoteFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtEndian>

#include <algorithm>

Q_DECLARE_LOGGING_CATEGORY(lcStore)

namespace {

const QByteArray kMarker = QByteArrayLiteral("Pinora peeled notes 1\r\n");

} // namespace

namespace PeeledNotes {

QByteArray encode(const QList<PeeledNote>& notes) {
    QByteArray out = kMarker;
    for (const PeeledNote& note : notes) {
        char time[8];
        qToLittleEndian(note.peeledAt.toMSecsSinceEpoch(), time);
        out.append(time, sizeof time);
        NoteFile::appendRecord(out, note.record);
    }
    return out;
}

Contents decode(const QByteArray& bytes) {
    Contents contents;
    if (bytes.isEmpty())
        return contents;
    if (!bytes.startsWith(kMarker)) {
        contents.damaged = true;
        return contents;
    }
    qsizetype pos = kMarker.size();
    while (pos < bytes.size()) {
        qsizetype at = pos + 8;
        const std::optional<NoteRecord> record =
            at <= bytes.size() ? NoteFile::readRecord(bytes, at) : std::optional<NoteRecord>();
        if (!record) {
            contents.damaged = true;
            break;
        }
        const qint64 ms = qFromLittleEndian<qint64>(bytes.constData() + pos);
        contents.notes.append({*record, QDateTime::fromMSecsSinceEpoch(ms)});
        pos = at;
    }
    return contents;
}

Contents load(const QString& path, const QDateTime& now) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    Contents contents = decode(bytes);
    if (contents.damaged) {
        const QFileInfo info(path);
        const QString aside =
            info.dir().filePath(info.completeBaseName() + QStringLiteral("-damaged-") +
                                now.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral(".dat"));
        if (!QFileInfo::exists(aside))
            SafeFile::write(aside, bytes);
        qCInfo(lcStore) << path << "is damaged; its bytes are kept in" << aside;
    }
    return contents;
}

QList<PeeledNote> pruned(QList<PeeledNote> notes, const QDateTime& now) {
    const QDateTime limit = now.addDays(-kKeepDays);
    const qsizetype surplus = notes.size() - kKeepAtLeast;
    qsizetype drop = 0;
    while (drop < surplus && notes.at(drop).peeledAt < limit)
        ++drop;
    notes.remove(0, drop);
    return notes;
}

bool add(const QString& path, const PeeledNote& note) {
    QList<PeeledNote> notes = load(path, note.peeledAt).notes;
    notes.append(note);
    return SafeFile::write(path, encode(pruned(std::move(notes), note.peeledAt)));
}

bool remove(const QString& path, const QList<PeeledNote>& which, const QDateTime& now) {
    QList<PeeledNote> notes = load(path, now).notes;
    bool removed = false;
    for (const PeeledNote& note : which) {
        const qsizetype at = notes.indexOf(note);
        if (at >= 0) {
            notes.removeAt(at);
            removed = true;
        }
    }
    return !removed || SafeFile::write(path, encode(notes));
}

} // namespace PeeledNotes

#include "store/PeelLog.h"

#include "store/NoteView.h"
#include "store/Tag.h"

#include <QFile>
#include <QRegularExpression>

namespace {

// The note's text should already use CR LF; a lone LF or CR gets one too, so the
// log reads the same in every editor.
QString withCrLf(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString out = text;
    return out.replace(lineBreak, QStringLiteral("\r\n"));
}

} // namespace

QByteArray PeelLogEntry(const QString& createdAt, const QDateTime& peeledAt, const QString& plainText) {
    const QString crlf = QStringLiteral("\r\n");
    const QString entry = QStringLiteral("[作成した日時=") + createdAt + QLatin1Char(']') + crlf +
                          QStringLiteral("[はがした日時=") + Tag::FormatTimeStamp(peeledAt) + QLatin1Char(']') + crlf +
                          withCrLf(plainText) + crlf + crlf + crlf;
    return entry.toUtf8();
}

int AppendPeelLog(const NoteView& note, const QString& path, const QDateTime& peeledAt) {
    const QByteArray entry = PeelLogEntry(Tag::CreatedAtOf(note.tag()), peeledAt, note.plainText());
    QFile file(path);
    // Unbuffered, so the entry goes to the file in one write call.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return 0;
    const bool written = file.write(entry) == entry.size();
    file.close();
    return written && file.error() == QFileDevice::NoError ? -1 : 0;
}

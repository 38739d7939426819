#include "store/Tag.h"

#include "store/NoteRecord.h"
#include "text/CodePage.h"

namespace Tag {

QString FormatTimeStamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yy/MM/dd HH:mm:ss"));
}

QString MakeTag(qint32 noteId, const QString& createdAt, const QString& visibleFlag, const QString& placeOnShowFlag) {
    const QChar sep = QLatin1Char('%');
    return QStringLiteral("%1").arg(noteId, 10, 10, QLatin1Char('0')) + sep + createdAt + sep + visibleFlag + sep +
           placeOnShowFlag;
}

QString MakeNewTag(qint32 noteId, const QDateTime& createdAt) {
    return MakeTag(noteId, FormatTimeStamp(createdAt), QStringLiteral("T"), QStringLiteral("T"));
}

QString PlaceholderTag() {
    return QStringLiteral("0000000000%00/00/00 00:00:00%F%F%");
}

QString CreatedAtOf(const QString& tag) {
    return tag.mid(11, 17);
}

qint32 NoteIdOf(const QString& tag) {
    bool ok = false;
    const qint32 id = tag.left(10).toInt(&ok);
    return ok ? id : 0;
}

bool GetTagFlag(const QString& tag, int position) {
    if (position < 1 || tag.size() < position)
        return false;
    return tag.at(position - 1) != QLatin1Char('F');
}

int SetTagFlag(QString& tag, int position, bool value) {
    if (tag.isEmpty() || position < 1)
        return 0;
    const QChar flag = value ? QLatin1Char('T') : QLatin1Char('F');
    if (tag.size() < position) {
        tag.append(QString(position - 1 - tag.size(), QLatin1Char('%')));
        tag.append(flag);
    } else {
        tag[position - 1] = flag;
    }
    return -1;
}

QString TagFromRecord(const NoteRecord& record) {
    return MakeTag(record.index, CodePage::decodeCp932(record.createdAt), CodePage::decodeCp932(record.visibleFlag),
                   CodePage::decodeCp932(record.placeOnShowFlag));
}

} // namespace Tag

#include "store/SaveAllNotes.h"

#include "store/DataFile.h"
#include "store/NoteView.h"
#include "store/Tag.h"
#include "text/CodePage.h"

#include <cmath>
#include <limits>

namespace {

qint32 roundToTwips(qreal value) {
    constexpr qreal lo = std::numeric_limits<qint32>::min();
    constexpr qreal hi = std::numeric_limits<qint32>::max();
    if (!std::isfinite(value))
        return 0;
    return static_cast<qint32>(std::nearbyint(std::clamp(value, lo, hi)));
}

NoteRecord recordFor(const NoteView& note, qint32 index) {
    const QString tag = note.tag();
    const QRectF box = note.savedGeometryTwips();
    NoteRecord r;
    r.index = index;
    r.left = roundToTwips(box.left());
    r.top = roundToTwips(box.top());
    r.height = roundToTwips(box.height());
    r.width = roundToTwips(box.width());
    r.backColor = note.backColor();
    r.textRtf = note.textRtf();
    r.createdAt = CodePage::encodeCp932(Tag::CreatedAtOf(tag));
    r.visibleFlag = CodePage::encodeCp932(tag.mid(Tag::kVisibleFlag - 1, 1));
    r.placeOnShowFlag = CodePage::encodeCp932(tag.mid(Tag::kPlaceOnShowFlag - 1, 1));
    return r;
}

} // namespace

QList<NoteRecord> BuildNoteRecords(const QList<const NoteView*>& noteWindows, qint32 noteCount) {
    QList<NoteRecord> records;
    const qint32 last = std::min<qint32>(noteCount, noteWindows.size() - 1);
    for (qint32 k = 1; k <= last; ++k) {
        const NoteView* note = noteWindows.at(k);
        if (note == nullptr || note->tag().isEmpty())
            continue;
        records.append(recordFor(*note, records.size() + 1));
    }
    records.append(NoteRecord{});
    return records;
}

int SaveAllNotes(const QList<const NoteView*>& noteWindows, qint32 noteCount, const QString& path) {
    QList<NoteRecord> records = BuildNoteRecords(noteWindows, noteCount);
    qint32 count = records.size() - 1;
    return NoteFileIO(count, path, true, records);
}

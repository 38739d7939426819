#include "store/NoteFile.h"

#include <QtEndian>

#include <algorithm>

namespace NoteFile {

namespace {

constexpr quint16 kLongStringMark = 0xFFFF;
constexpr qsizetype kCreatedAtLength = 17;

void putInt32(QByteArray& out, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void putString(QByteArray& out, const QByteArray& text) {
    char bytes[4];
    if (text.size() < kLongStringMark) {
        qToLittleEndian(static_cast<quint16>(text.size()), bytes);
        out.append(bytes, 2);
    } else {
        qToLittleEndian(kLongStringMark, bytes);
        out.append(bytes, 2);
        qToLittleEndian(static_cast<quint32>(text.size()), bytes);
        out.append(bytes, 4);
    }
    out.append(text);
}

void putRecord(QByteArray& out, const NoteRecord& r) {
    for (qint32 value : {r.index, r.left, r.top, r.height, r.width, r.backColor})
        putInt32(out, value);
    for (const QByteArray* text : {&r.textRtf, &r.createdAt, &r.visibleFlag, &r.placeOnShowFlag})
        putString(out, *text);
}

// Reads little-endian fields. A field that runs past the end of the bytes reads as
// zeros (or an empty string) and marks the reader as overrun.
class Reader {
public:
    explicit Reader(const QByteArray& bytes, qsizetype pos = 0)
        : m_bytes(bytes)
        , m_pos(pos) {}

    bool overrun() const { return m_overrun; }
    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    quint32 takeUnsigned(int width) {
        if (remaining() < width) {
            m_overrun = true;
            m_pos = m_bytes.size();
            return 0;
        }
        quint32 value = 0;
        for (int i = 0; i < width; ++i)
            value |= quint32(static_cast<quint8>(m_bytes.at(m_pos++))) << (8 * i);
        return value;
    }
    qint32 takeInt32() { return static_cast<qint32>(takeUnsigned(4)); }

    QByteArray takeString() {
        qsizetype length = takeUnsigned(2);
        if (length == kLongStringMark)
            length = takeUnsigned(4);
        if (length > remaining()) {
            m_overrun = true;
            m_pos = m_bytes.size();
            return {};
        }
        const QByteArray text = m_bytes.mid(m_pos, length);
        m_pos += length;
        return text;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
    bool m_overrun = false;
};

NoteRecord takeRecord(Reader& in) {
    NoteRecord r;
    for (qint32* value : {&r.index, &r.left, &r.top, &r.height, &r.width, &r.backColor})
        *value = in.takeInt32();
    for (QByteArray* text : {&r.textRtf, &r.createdAt, &r.visibleFlag, &r.placeOnShowFlag})
        *text = in.takeString();
    return r;
}

bool fitsInTag(const NoteRecord& r) {
    return r.createdAt.size() <= kCreatedAtLength && r.visibleFlag.size() <= 1 && r.placeOnShowFlag.size() <= 1;
}

} // namespace

void appendRecord(QByteArray& out, const NoteRecord& record) {
    putRecord(out, record);
}

std::optional<NoteRecord> readRecord(const QByteArray& bytes, qsizetype& pos) {
    Reader in(bytes, pos);
    NoteRecord r = takeRecord(in);
    if (in.overrun() || !fitsInTag(r))
        return std::nullopt;
    pos = in.position();
    return r;
}

QByteArray encode(qint32 count, const QList<NoteRecord>& records) {
    QByteArray out;
    putInt32(out, count);
    if (count <= 0)
        return out;
    qsizetype size = 4;
    for (const NoteRecord& r : records)
        size += 32 + r.textRtf.size() + r.createdAt.size() + r.visibleFlag.size() + r.placeOnShowFlag.size();
    out.reserve(size);
    const NoteRecord empty;
    for (qint32 i = 0; i <= count; ++i)
        putRecord(out, i < records.size() ? records.at(i) : empty);
    return out;
}

std::optional<Contents> decode(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return Contents{};
    if (bytes.size() < 4)
        return std::nullopt;
    Reader in(bytes);
    Contents contents;
    contents.count = in.takeInt32();
    if (contents.count < 0 || contents.count > kMaxNotes)
        return std::nullopt;
    if (contents.count == 0 && in.remaining() == 0)
        return contents; // all peeled: the count alone
    // The count is believed only as far as the file can hold that many records.
    contents.records.reserve(std::min<qsizetype>(contents.count, in.remaining() / kMinRecordSize) + 1);
    for (qint32 i = 0; i < contents.count; ++i) {
        NoteRecord r = takeRecord(in);
        if (in.overrun() || !fitsInTag(r)) {
            contents.damaged = true;
            break;
        }
        contents.records.append(std::move(r));
    }
    // The program always writes an empty filler last. A file without it was cut off;
    // a note in its place means the count falls short of the notes the file holds,
    // and every whole one is read; anything after the filler is damage too.
    for (bool reading = !contents.damaged; reading;) {
        NoteRecord r = takeRecord(in);
        const bool filler = !in.overrun() && r == NoteRecord{};
        contents.damaged = contents.damaged || !filler || in.remaining() > 0;
        reading = !filler && !in.overrun() && fitsInTag(r) && contents.records.size() < kMaxNotes;
        if (reading)
            contents.records.append(std::move(r));
    }
    if (contents.damaged && !contents.records.isEmpty() && contents.records.constLast() == NoteRecord{}) {
        // A count too large for the file reads the filler as one more record; an
        // entirely empty record is not a note anybody wrote.
        contents.records.removeLast();
    }
    contents.count = static_cast<qint32>(contents.records.size());
    if (contents.count == 0)
        contents.records.clear();
    else
        contents.records.append(NoteRecord{});
    return contents;
}

} // namespace NoteFile

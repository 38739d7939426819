#include "store/NoteFile.h"

#include <QtEndian>

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
    for (qint32 value : {r.Index, r.Left, r.Top, r.Height, r.Width, r.BackColor})
        putInt32(out, value);
    for (const QByteArray* text : {&r.TextRTF, &r.CreatedAt, &r.VisibleFlag, &r.PlaceOnShowFlag})
        putString(out, *text);
}

// Reads little-endian fields; whatever lies past the end reads as zero bytes.
class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : m_bytes(bytes) {}

    quint32 takeUnsigned(int width) {
        quint32 value = 0;
        for (int i = 0; i < width; ++i) {
            if (m_pos < m_bytes.size())
                value |= quint32(static_cast<quint8>(m_bytes.at(m_pos++))) << (8 * i);
        }
        return value;
    }
    qint32 takeInt32() { return static_cast<qint32>(takeUnsigned(4)); }

    QByteArray takeString() {
        qsizetype length = takeUnsigned(2);
        if (length == kLongStringMark)
            length = takeUnsigned(4);
        const QByteArray text = m_bytes.mid(m_pos, length);
        m_pos += text.size();
        return text;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_pos = 0;
};

bool fitsInTag(const NoteRecord& r) {
    return r.CreatedAt.size() <= kCreatedAtLength && r.VisibleFlag.size() <= 1 && r.PlaceOnShowFlag.size() <= 1;
}

} // namespace

QByteArray encode(qint32 count, const QList<NoteRecord>& records) {
    QByteArray out;
    putInt32(out, count);
    if (count <= 0)
        return out;
    qsizetype size = 4;
    for (const NoteRecord& r : records)
        size += 32 + r.TextRTF.size() + r.CreatedAt.size() + r.VisibleFlag.size() + r.PlaceOnShowFlag.size();
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
    if (contents.count == 0)
        return contents;
    contents.records.resize(contents.count + 1);
    for (NoteRecord& r : contents.records) {
        for (qint32* value : {&r.Index, &r.Left, &r.Top, &r.Height, &r.Width, &r.BackColor})
            *value = in.takeInt32();
        for (QByteArray* text : {&r.TextRTF, &r.CreatedAt, &r.VisibleFlag, &r.PlaceOnShowFlag})
            *text = in.takeString();
    }
    // The filler is never looked at, so only the notes must make sense.
    for (qint32 i = 0; i < contents.count; ++i) {
        if (!fitsInTag(contents.records.at(i)))
            return std::nullopt;
    }
    return contents;
}

} // namespace NoteFile

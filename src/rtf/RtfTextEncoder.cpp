#include "rtf/RtfTextEncoder.h"

#include "text/CodePage.h"

namespace {

constexpr const char* kCp932 = CodePage::kCp932Name;

void appendHexByte(QByteArray& out, char byte) {
    static constexpr char digits[] = "0123456789abcdef";
    const auto b = static_cast<unsigned char>(byte);
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

void appendUnicode(QByteArray& out, char16_t unit) {
    out += "\\u";
    out += QByteArray::number(static_cast<qint16>(unit));
    out += '?';
}

bool needsSeparator(char c) {
    return QChar::isLetterOrNumber(c) || c == ' ' || c == '-';
}

} // namespace

RtfTextEncoder::RtfTextEncoder()
    : m_encoder(kCp932)
    , m_decoder(kCp932, QStringDecoder::Flag::Stateless) {}

QByteArray RtfTextEncoder::toShiftJis(QStringView text) {
    QByteArray bytes = m_encoder.encode(text);
    if (m_encoder.hasError()) {
        m_encoder = QStringEncoder(kCp932);
        return {};
    }
    // Only characters that come back as themselves count: ICU's best-fit mappings (¥ to 0x5C)
    // would lose them.
    if (QString(m_decoder.decode(bytes)) != text)
        return {};
    return bytes;
}

bool RtfTextEncoder::hasShiftJisText(QStringView text) {
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool ascii = i == text.size() || text[i].unicode() < 0x80;
        if (!ascii && start < 0)
            start = i;
        if (ascii && start >= 0) {
            if (!toShiftJis(text.sliced(start, i - start)).isEmpty())
                return true;
            start = -1;
        }
    }
    return false;
}

void RtfTextEncoder::append(QStringView text, bool shiftJisFont, QByteArray& out, bool& afterWord) {
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80 && c != 0x00A0 && c != 0x00AD && c != 0x2011 && c != 0x2028) {
            qsizetype end = i + 1;
            while (end < text.size()) {
                const char16_t d = text[end].unicode();
                if (d < 0x80 || d == 0x00A0 || d == 0x00AD || d == 0x2011 || d == 0x2028)
                    break;
                ++end;
            }
            appendNonAscii(text.sliced(i, end - i), shiftJisFont, out);
            afterWord = false;
            i = end;
            continue;
        }
        ++i;
        switch (c) {
        case u'\\':
            out += "\\\\";
            afterWord = false;
            continue;
        case u'{':
            out += "\\{";
            afterWord = false;
            continue;
        case u'}':
            out += "\\}";
            afterWord = false;
            continue;
        case u'\t':
            out += "\\tab";
            afterWord = true;
            continue;
        case 0x2028:
            out += "\\line";
            afterWord = true;
            continue;
        case 0x00A0:
            out += "\\~";
            afterWord = false;
            continue;
        case 0x00AD:
            out += "\\-";
            afterWord = false;
            continue;
        case 0x2011:
            out += "\\_";
            afterWord = false;
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F)
            continue; // control characters are not text in a note
        const char ascii = static_cast<char>(c);
        if (afterWord && needsSeparator(ascii))
            out += ' ';
        out += ascii;
        afterWord = false;
    }
}

void RtfTextEncoder::appendNonAscii(QStringView text, bool shiftJisFont, QByteArray& out) {
    if (shiftJisFont) {
        const QByteArray whole = toShiftJis(text);
        if (!whole.isEmpty()) {
            for (const char b : whole)
                appendHexByte(out, b);
            return;
        }
    }
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
        const QStringView ch = text.sliced(i, len);
        const QByteArray bytes = (shiftJisFont && len == 1) ? toShiftJis(ch) : QByteArray();
        if (!bytes.isEmpty()) {
            for (const char b : bytes)
                appendHexByte(out, b);
        } else {
            for (const QChar unit : ch)
                appendUnicode(out, unit.unicode());
        }
        i += len;
    }
}

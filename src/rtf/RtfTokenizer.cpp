#include "rtf/RtfTokenizer.h"

#include "text/CodePage.h"

#include <algorithm>
#include <limits>

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Bytes that end a run of text. NUL is dropped like a line break: rich-edit appends one after
// the document, and inside a document it is never text.
bool endsText(char c) {
    return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\0';
}

RtfToken token(RtfToken::Kind kind) {
    RtfToken t;
    t.kind = kind;
    return t;
}

} // namespace

RtfToken RtfTokenizer::next() {
    const qsizetype size = m_input.size();
    while (m_pos < size) {
        const char c = m_input[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            return token(RtfToken::Kind::GroupOpen);
        case '}':
            ++m_pos;
            return token(RtfToken::Kind::GroupClose);
        case '\\':
            return readControl();
        case '\r':
        case '\n':
        case '\0':
            ++m_pos;
            continue;
        default:
            return readText();
        }
    }
    return {};
}

RtfToken RtfTokenizer::readText() {
    const qsizetype start = m_pos;
    const qsizetype size = m_input.size();
    while (m_pos < size) {
        const auto byte = static_cast<unsigned char>(m_input[m_pos]);
        if (CodePage::isLeadByte(m_codePage, byte) && m_pos + 1 < size &&
            static_cast<unsigned char>(m_input[m_pos + 1]) >= 0x40) {
            m_pos += 2;
            continue;
        }
        if (endsText(m_input[m_pos]))
            break;
        ++m_pos;
    }
    RtfToken text = token(RtfToken::Kind::Text);
    text.bytes = m_input.sliced(start, m_pos - start);
    return text;
}

RtfToken RtfTokenizer::readControl() {
    const qsizetype size = m_input.size();
    ++m_pos; // the backslash
    if (m_pos >= size)
        return {};

    const char first = m_input[m_pos];
    if (!isLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_pos < size) {
                const int v = RtfHexValue(m_input[m_pos]);
                if (v < 0)
                    break;
                value = value * 16 + v;
                ++digits;
                ++m_pos;
            }
            if (digits == 0) { // a stray \' is dropped like any unknown symbol
                RtfToken stray = token(RtfToken::Kind::ControlSymbol);
                stray.symbol = '\'';
                return stray;
            }
            RtfToken hex = token(RtfToken::Kind::HexByte);
            hex.byte = static_cast<std::uint8_t>(value);
            return hex;
        }
        RtfToken symbol = token(RtfToken::Kind::ControlSymbol);
        symbol.symbol = (first == '\r') ? '\n' : first;
        return symbol;
    }

    const qsizetype nameStart = m_pos;
    while (m_pos < size && isLetter(m_input[m_pos]))
        ++m_pos;
    RtfToken word = token(RtfToken::Kind::ControlWord);
    word.name = std::string_view(m_input.data() + nameStart, static_cast<size_t>(m_pos - nameStart));

    bool negative = false;
    if (m_pos + 1 < size && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < size && isDigit(m_input[m_pos])) {
        constexpr std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1;
        std::int64_t value = 0;
        while (m_pos < size && isDigit(m_input[m_pos])) {
            value = std::min(limit, value * 10 + (m_input[m_pos] - '0'));
            ++m_pos;
        }
        if (negative)
            value = -value;
        word.hasParameter = true;
        word.parameter = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    }
    if (m_pos < size && m_input[m_pos] == ' ')
        ++m_pos;

    if (word.name == "bin") {
        const qsizetype length = word.hasParameter ? std::max<qsizetype>(0, word.parameter) : 0;
        const qsizetype taken = std::min(length, size - m_pos);
        word.kind = RtfToken::Kind::Binary;
        word.bytes = m_input.sliced(m_pos, taken);
        m_pos += taken;
    }
    return word;
}

int RtfHexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

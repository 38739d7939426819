#pragma once

#include <QByteArrayView>

#include <cstdint>
#include <string_view>

// One lexical piece of an RTF byte stream.
struct RtfToken {
    enum class Kind {
        End,           // nothing left (or the input's bytes ran out)
        GroupOpen,     // {
        GroupClose,    // }
        ControlWord,   // \word or \wordN; name holds the letters
        ControlSymbol, // \ followed by one non-letter; symbol holds it (CR and LF both read as '\n')
        HexByte,       // \'xx; byte holds the value
        Text,          // a run of literal text bytes; bytes holds them
        Binary,        // the payload of \binN; bytes holds it
    };

    Kind kind = Kind::End;
    std::string_view name;
    bool hasParameter = false;
    std::int32_t parameter = 0;
    char symbol = 0;
    std::uint8_t byte = 0;
    QByteArrayView bytes;
};

// Splits RTF into tokens in one pass over the input, never looking back. Line breaks in the
// source are layout of the file, not text, so they never reach a Text token. Parameters are
// clamped to 32 bits whatever their length, and \binN takes at most what is left of the input.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView input)
        : m_input(input) {}

    RtfToken next();
    // The code page of the text that follows: in a two-byte code page, a trail byte that
    // looks like RTF syntax is part of its character, as writers that put text bytes
    // unescaped into RTF expect.
    void setCodePage(int codePage) { m_codePage = codePage; }

private:
    RtfToken readControl();
    RtfToken readText();

    QByteArrayView m_input;
    qsizetype m_pos = 0;
    int m_codePage = 0;
};

// The value of a hexadecimal digit, -1 for any other character.
int RtfHexValue(char c);

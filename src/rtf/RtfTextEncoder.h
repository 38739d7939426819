#pragma once

#include <QByteArray>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringView>

// Turns text into the bytes of an RTF body, pure ASCII: printable ASCII as it is (the three
// RTF specials escaped), characters that code page 932 holds as \'xx Shift-JIS bytes when the
// font is a Shift-JIS one, and every other character as \uN? (N signed 16-bit; characters
// beyond the BMP as a surrogate pair).
class RtfTextEncoder {
public:
    RtfTextEncoder();

    // Appends text. afterWord tells whether out ends with a control word, which a following
    // letter, digit, space or hyphen must be kept apart from; it is updated for the next call.
    void append(QStringView text, bool shiftJisFont, QByteArray& out, bool& afterWord);

    // True when every character of text outside ASCII can be written as Shift-JIS.
    bool hasShiftJisText(QStringView text);

private:
    void appendNonAscii(QStringView text, bool shiftJisFont, QByteArray& out);
    QByteArray toShiftJis(QStringView text);

    QStringEncoder m_encoder;
    QStringDecoder m_decoder;
};

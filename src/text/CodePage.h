#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

// Conversions between Qt strings and the byte encodings Pinora meets: Windows code
// page 932 (Shift-JIS with the NEC and IBM rows) for files and datagrams that come
// from Windows, and UTF-8 for the files written here.
namespace CodePage {

// ICU's name for Microsoft's code page 932.
inline constexpr const char* kCp932Name = "windows-31j";
// RTF's \fcharset number for Shift-JIS.
inline constexpr int kShiftJisCharset = 128;

// Decodes code page 932 bytes. Bytes that are not valid there become U+FFFD.
QString decodeCp932(const QByteArray& bytes);

// Text that is UTF-8 when its bytes are well-formed UTF-8, else code page 932: what
// this program writes, or what the Windows program wrote.
QString decodeUtf8OrCp932(const QByteArray& bytes);

// Encodes into code page 932. Returns false in *ok (when given) if some character
// has no code page 932 form; such characters come out as "?".
QByteArray encodeCp932(const QString& text, bool* ok = nullptr);

// True when the whole of bytes is well-formed UTF-8 (plain ASCII included).
bool isUtf8(const QByteArray& bytes);

// True when bytes are mostly UTF-8: they hold more well-formed multi-byte UTF-8
// characters than bytes that are not UTF-8, or no such bytes at all. A UTF-8 text
// with a stray byte stays UTF-8; Japanese Shift-JIS text, whose lead bytes are
// almost never followed by UTF-8 continuation bytes, does not.
bool isMostlyUtf8(const QByteArray& bytes);

// The pseudo code page Windows uses for symbol fonts: each byte is the character's own code.
inline constexpr int kSymbolCodePage = 42;

// The Windows code page that a GDI character set number (RTF's \fcharset) stands for, or 0 when
// the character set defers to the document's code page (DEFAULT_CHARSET and numbers Windows
// does not know).
int codePageForCharset(int charset);

// A stateless decoder for a Windows code page number. Code pages that ICU lacks fall back to
// their closest relative (the Mac CJK pages to their Windows twins) and finally to 1252, so the
// decoder is always valid.
QStringDecoder decoderForCodePage(int codePage);

// Whether the byte begins a two-byte character in that code page (Shift-JIS, GBK, Korean
// Unified Hangul, Big5); a trail byte may then be any byte from 0x40 up, "\\", "{" and "}" too.
constexpr bool isLeadByte(int codePage, unsigned char byte) {
    switch (codePage) {
    case 932:
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return byte >= 0x81 && byte <= 0xFE;
    default:
        return false;
    }
}

} // namespace CodePage

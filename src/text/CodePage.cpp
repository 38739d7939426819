#include "text/CodePage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace CodePage {

QString decodeCp932(const QByteArray& bytes) {
    // ICU drops a lead byte cut off at the end, even when told the input is
    // complete. A line feed behind it (never a trail byte) makes it come out as a
    // substitute, so a piece decodes the same whatever followed it.
    QStringDecoder decoder(kCp932Name);
    QString text = decoder.decode(bytes);
    text += decoder.decode(QByteArrayView("\n"));
    text.chop(1);
    return text;
}

QString decodeUtf8OrCp932(const QByteArray& bytes) {
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : decodeCp932(bytes);
}

QByteArray encodeCp932(const QString& text, bool* ok) {
    QStringEncoder encoder(kCp932Name);
    QByteArray out;
    bool allEncoded = true;
    // Encode character by character so that an unmappable one becomes a single "?"
    // instead of whatever substitute bytes the converter would pick.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QStringView ch = QStringView(text).mid(i, len);
        QByteArray bytes = encoder.encode(ch);
        if (encoder.hasError() || bytes.isEmpty()) {
            encoder = QStringEncoder(kCp932Name);
            bytes = "?";
            allEncoded = false;
        }
        out += bytes;
        i += len;
    }
    if (ok)
        *ok = allEncoded;
    return out;
}

int codePageForCharset(int charset) {
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
    case 255:
        return 437;
    default:
        return 0;
    }
}

namespace {

const char* icuNameForCodePage(int codePage) {
    switch (codePage) {
    case kSymbolCodePage:
    case 28591:
        return "ISO-8859-1";
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 852:
        return "IBM852";
    case 866:
        return "IBM866";
    case 874:
        return "windows-874";
    case 932:
    case 10001: // Mac Japanese is Shift-JIS in all but a few vendor rows
        return kCp932Name;
    case 936:
    case 10008:
        return "GBK";
    case 949:
    case 10003:
        return "windows-949";
    case 950:
    case 10002:
        return "windows-950";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    case 10006:
        return "x-mac-greek";
    case 10007:
        return "x-mac-cyrillic";
    case 10029:
        return "x-mac-centraleurroman";
    case 10081:
        return "x-mac-turkish";
    case 20127:
        return "US-ASCII";
    case 65001:
        return "UTF-8";
    default:
        return "windows-1252";
    }
}

} // namespace

QStringDecoder decoderForCodePage(int codePage) {
    QStringDecoder decoder(icuNameForCodePage(codePage), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1252", QStringDecoder::Flag::Stateless);
    return decoder;
}

bool isUtf8(const QByteArray& bytes) {
    // Stateless: a sequence cut off at the end is an error, not "more to come".
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

bool isMostlyUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return true;
    // Every byte that is not UTF-8 comes out as one replacement character.
    qsizetype wellFormed = 0;
    qsizetype broken = 0;
    for (const QChar c : text) {
        if (c == QChar::ReplacementCharacter)
            ++broken;
        else if (c.unicode() >= 0x80 && !c.isLowSurrogate())
            ++wellFormed;
    }
    return wellFormed > broken;
}

} // namespace CodePage

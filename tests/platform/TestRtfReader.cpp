#include <QBuffer>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "RtfDocumentProbe.h"
#include "platform/rtf/RtfPlainText.h"
#include "platform/rtf/RtfReader.h"

namespace {

QString readLines(const QByteArray& rtf) {
    QTextDocument document;
    RtfReader::read(rtf, document);
    return RtfPlainText::lines(document);
}

// A document with one font of the given \fcharset, selected, around body (which is RTF).
QByteArray withCharset(int charset, const QByteArray& body, const QByteArray& header = "\\ansi\\ansicpg1252") {
    return "{\\rtf1" + header + "{\\fonttbl{\\f0\\fnil\\fcharset" + QByteArray::number(charset) + " Test;}}\\f0 " +
           body + "}";
}

QByteArray pngHex(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex();
}

QByteArray jpegBytes() {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return jpeg;
}

const QByteArray kMsPGothic = "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e";
const QByteArray kMsGothic = "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e";
const QByteArray kMsMincho = "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void decodesCodePages_data();
    void decodesCodePages();
    void decodesUnicode_data();
    void decodesUnicode();
    void readsStructure_data();
    void readsStructure();
    void readsFormatting_data();
    void readsFormatting();
    void readsPictures_data();
    void readsPictures();
    void insertsAtCursor();
};

void TestRtfReader::decodesCodePages_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray sjis = "\\ansi\\ansicpg932";
    QTest::newRow("cp932 81 60 is fullwidth tilde, not wave dash")
        << withCharset(128, "\\'81\\'60", sjis) << QStringLiteral("\uFF5E\n");
    QTest::newRow("cp932 NEC row 87 40 is circled one")
        << withCharset(128, "\\'87\\'40", sjis) << QStringLiteral("①\n");
    QTest::newRow("cp932 NEC row 87 6f is millimetre sign")
        << withCharset(128, "\\'87\\'6f", sjis) << QStringLiteral("㎜\n");
    QTest::newRow("cp932 IBM row fa 40 is small roman one")
        << withCharset(128, "\\'fa\\'40", sjis) << QStringLiteral("ⅰ\n");
    QTest::newRow("charset 128 wins over ansicpg1252")
        << withCharset(128, "\\'92\\'86\\'9a\\'a0") << QStringLiteral("中國\n");
    QTest::newRow("escaped lead with raw trail byte")
        << withCharset(128, "\\'8bC\\'82a", sjis) << QStringLiteral("気Ｂ\n");
    QTest::newRow("raw lead and raw trail bytes") << withCharset(128,
                                                                 "\x8b"
                                                                 "C",
                                                                 sjis)
                                                  << QStringLiteral("気\n");
    QTest::newRow("lead and trail split by a source line break")
        << withCharset(128, "\\'82\r\n\\'a0", sjis) << QStringLiteral("あ\n");
    QTest::newRow("trail byte 5c escaped is not a backslash")
        << withCharset(128, "\\'95\\'5c", sjis) << QStringLiteral("表\n");
    QTest::newRow("no font table uses ansicpg932")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}") << QStringLiteral("あ\n");
    QTest::newRow("charset 0 is Windows Latin even under ansicpg932")
        << withCharset(0, "caf\\'e9", sjis) << QStringLiteral("café\n");
    QTest::newRow("charset 1 defers to ansicpg1251")
        << withCharset(1, "\\'c0", "\\ansi\\ansicpg1251") << QStringLiteral("А\n");
    QTest::newRow("font cpg65001 overrides charset 128")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128\\cpg65001 X;}}\\f0\\'e4\\'b8\\'ad\\'e5\\'9c\\'8b}")
        << QStringLiteral("中國\n");
    QTest::newRow("default font from deff without an f in the body")
        << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 B;}}\\'82\\'a0}")
        << QStringLiteral("あ\n");
    QTest::newRow("font switch between Greek and Latin")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset161 B;}}\\f0\\'80\\f1\\'d9\\f0\\'80}")
        << QStringLiteral("€Ω€\n");
    QTest::newRow("no ansicpg means 1252") << QByteArray("{\\rtf1 \\'e9}") << QStringLiteral("é\n");
    QTest::newRow("mac document code page") << QByteArray("{\\rtf1\\mac \\'8e}") << QStringLiteral("é\n");
    QTest::newRow("charset 2 symbol bullet") << withCharset(2, "\\'b7") << QStringLiteral("•\n");
    QTest::newRow("charset 77 Mac Roman") << withCharset(77, "\\'8e") << QStringLiteral("é\n");
    QTest::newRow("charset 78 Mac Japanese") << withCharset(78, "\\'82\\'a8") << QStringLiteral("お\n");
    QTest::newRow("charset 129 Hangul") << withCharset(129, "\\'c7\\'d1") << QStringLiteral("한\n");
    QTest::newRow("charset 134 GB2312") << withCharset(134, "\\'d6\\'d0") << QStringLiteral("中\n");
    QTest::newRow("charset 136 Big5") << withCharset(136, "\\'a4\\'a4") << QStringLiteral("中\n");
    QTest::newRow("charset 161 Greek") << withCharset(161, "\\'d9") << QStringLiteral("Ω\n");
    QTest::newRow("charset 162 Turkish") << withCharset(162, "\\'fd") << QStringLiteral("ı\n");
    QTest::newRow("charset 163 Vietnamese") << withCharset(163, "\\'d0") << QStringLiteral("Đ\n");
    QTest::newRow("charset 177 Hebrew") << withCharset(177, "\\'e0") << QStringLiteral("א\n");
    QTest::newRow("charset 178 Arabic") << withCharset(178, "\\'c7") << QStringLiteral("ا\n");
    QTest::newRow("charset 186 Baltic") << withCharset(186, "\\'e0") << QStringLiteral("ą\n");
    QTest::newRow("charset 204 Russian") << withCharset(204, "\\'c0") << QStringLiteral("А\n");
    QTest::newRow("charset 222 Thai") << withCharset(222, "\\'a1") << QStringLiteral("ก\n");
    QTest::newRow("charset 238 Eastern European") << withCharset(238, "\\'e8") << QStringLiteral("č\n");
    QTest::newRow("charset 255 OEM") << withCharset(255, "\\'82") << QStringLiteral("é\n");
}

void TestRtfReader::decodesCodePages() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(readLines(rtf), expected);
}

void TestRtfReader::decodesUnicode_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    const QByteArray sjis = "\\ansi\\ansicpg932";
    QTest::newRow("u with one fallback") << withCharset(0, "\\u26085?x") << QStringLiteral("日x\n");
    QTest::newRow("space after u is its delimiter") << withCharset(0, "\\u26085 ?x") << QStringLiteral("日x\n");
    QTest::newRow("negative u is the upper half")
        << withCharset(0, "\\u-248?\\u-2304?") << QStringLiteral("（\uF700\n");
    QTest::newRow("surrogate pair") << withCharset(0, "\\u-10179?\\u-8704?") << QStringLiteral("😀\n");
    QTest::newRow("lone high surrogate") << withCharset(0, "\\u-10179?x") << QStringLiteral("\uFFFDx\n");
    QTest::newRow("lone low surrogate") << withCharset(0, "x\\u-8704?") << QStringLiteral("x\uFFFD\n");
    QTest::newRow("uc2 skips a Shift-JIS fallback")
        << withCharset(128, "\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b", sjis) << QStringLiteral("日本\n");
    QTest::newRow("uc2 skips two raw bytes") << withCharset(0, "\\uc2\\u26085??x") << QStringLiteral("日x\n");
    QTest::newRow("uc1 hex fallback counts as one") << withCharset(0, "\\uc1\\u233\\'e9x") << QStringLiteral("éx\n");
    QTest::newRow("LibreOffice hex question mark fallback")
        << withCharset(0, "\\u26085\\'3f\\u26412\\'3f") << QStringLiteral("日本\n");
    QTest::newRow("uc0 has no fallback") << withCharset(0, "\\uc0\\u26085\\u26412 x") << QStringLiteral("日本x\n");
    QTest::newRow("fallback skipping stops at a group end")
        << withCharset(0, "{\\uc3\\u26085?}ab") << QStringLiteral("日ab\n");
    QTest::newRow("uc is scoped to its group")
        << withCharset(0, "{\\uc2\\u26085??}\\u26412?x") << QStringLiteral("日本x\n");
    QTest::newRow("code point beyond the BMP in one u") << withCharset(0, "\\u128512?") << QStringLiteral("😀\n");
    QTest::newRow("upr takes the unicode branch")
        << withCharset(0, "{\\upr{ANSI}{\\*\\ud{\\u26085?}}}x") << QStringLiteral("日x\n");
}

void TestRtfReader::decodesUnicode() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(readLines(rtf), expected);
}

void TestRtfReader::readsStructure_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expected");

    QTest::newRow("last par ends the document") << QByteArray("{\\rtf1 a\\par b\\par\r\n}") << QStringLiteral("a\nb\n");
    QTest::newRow("last paragraph without par") << QByteArray("{\\rtf1 a\\par b}") << QStringLiteral("a\nb\n");
    QTest::newRow("empty last paragraph kept") << QByteArray("{\\rtf1 a\\par\\par}") << QStringLiteral("a\n\n");
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QStringLiteral("\n");
    QTest::newRow("line break inside a paragraph") << QByteArray("{\\rtf1 a\\line b}") << QStringLiteral("a\nb\n");
    QTest::newRow("backslash CR LF is par") << QByteArray("{\\rtf1 a\\\r\nb}") << QStringLiteral("a\nb\n");
    QTest::newRow("backslash LF is par") << QByteArray("{\\rtf1 a\\\nb}") << QStringLiteral("a\nb\n");
    QTest::newRow("source line breaks are not text") << QByteArray("{\\rtf1 a\r\nb\rc\nd}") << QStringLiteral("abcd\n");
    QTest::newRow("tab word and literal tab") << QByteArray("{\\rtf1 a\\tab b\tc}") << QStringLiteral("a\tb\tc\n");
    QTest::newRow("escaped specials") << QByteArray("{\\rtf1 \\{x\\}\\\\}") << QStringLiteral("{x}\\\n");
    QTest::newRow("no-break space, soft and no-break hyphen")
        << QByteArray("{\\rtf1 a\\~b\\-c\\_d}") << QStringLiteral("a\u00A0b\u00ADc\u2011d\n");
    QTest::newRow("typographic symbols")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
        << QStringLiteral("—–•‘’“”\n");
    QTest::newRow("NUL after the last brace") << QByteArray("{\\rtf1 a\\par\r\n}\r\n\0", 19) << QStringLiteral("a\n");
    QTest::newRow("received note trailer") << QByteArray("{\\rtf1 a\\par}:") << QStringLiteral("a\n");
    QTest::newRow("second document after the brace") << QByteArray("{\\rtf1 a}{\\rtf1 b}") << QStringLiteral("a\n");
    QTest::newRow("ignorable destination skipped")
        << QByteArray("{\\rtf1 a{\\*\\unknownword b{c}}d}") << QStringLiteral("ad\n");
    QTest::newRow("stylesheet, info and generator skipped")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\*\\generator G;}a}")
        << QStringLiteral("a\n");
    QTest::newRow("header and footer skipped")
        << QByteArray("{\\rtf1{\\header h\\par}{\\footer f\\par}a}") << QStringLiteral("a\n");
    QTest::newRow("hyperlink field shows its result")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} now}")
        << QStringLiteral("see link now\n");
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 3}}}") << QStringLiteral("3\n");
    QTest::newRow("pntext bullet in the Symbol font")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset2 Symbol;}}\\f0{\\pntext\\f1\\'b7\\tab}"
                      "{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}item}")
        << QStringLiteral("•\titem\n");
    QTest::newRow("old pn group without star")
        << QByteArray("{\\rtf1{\\pn\\pnlvlblt{\\pntxtb x}}item}") << QStringLiteral("item\n");
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << QStringLiteral("abd\n");
    QTest::newRow("picture of an unknown kind leaves no text")
        << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\picw10\\pich10 0100090000}b}") << QStringLiteral("ab\n");
    QTest::newRow("space after a font table is text")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}} a}") << QStringLiteral(" a\n");
    QTest::newRow("plain UTF-8 text") << QByteArray("first\r\nsecond 日本") << QStringLiteral("first\nsecond 日本\n");
    QTest::newRow("plain Shift-JIS text") << QByteArray("\x82\xa0\x82\xa2") << QStringLiteral("あい\n");
    QTest::newRow("leading space is not RTF") << QByteArray(" {\\rtf1 a}") << QStringLiteral(" {\\rtf1 a}\n");
    QTest::newRow("empty input") << QByteArray() << QStringLiteral("\n");
}

void TestRtfReader::readsStructure() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expected);
    QCOMPARE(readLines(rtf), expected);
}

void TestRtfReader::readsFormatting_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    const QByteArray fonts = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\froman\\fcharset128 " + kMsPGothic +
                             ";}{\\f1\\fmodern\\fcharset128 " + kMsGothic + ";}{\\f2\\froman\\fcharset128 " +
                             kMsMincho + ";}{\\f3\\fswiss\\fcharset0 Arial{\\*\\falt Helvetica};}}";
    QTest::newRow("Shift-JIS font name") << fonts + "\\f0 a}" << 0 << "family" << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("gothic shown in Noto Sans, whatever the family word")
        << fonts + "\\f0 a}" << 0 << "families" << QStringLiteral("ＭＳ Ｐゴシック|Noto Sans CJK JP");
    QTest::newRow("ms gothic shown in Noto Sans")
        << fonts + "\\f1 a}" << 0 << "families" << QStringLiteral("ＭＳ ゴシック|Noto Sans CJK JP");
    QTest::newRow("mincho shown in Noto Serif")
        << fonts + "\\f2 a}" << 0 << "families" << QStringLiteral("ＭＳ 明朝|Noto Serif CJK JP");
    QTest::newRow("Latin font with its alternate name")
        << fonts + "\\f3 a}" << 0 << "families" << QStringLiteral("Arial|Helvetica");
    QTest::newRow("deff font without f") << fonts + "a}" << 0 << "family" << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("plain returns to the deff font")
        << fonts + "\\f3 a\\plain b}" << 1 << "family" << QStringLiteral("ＭＳ Ｐゴシック");
    QTest::newRow("font table without braces")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fnil\\fcharset0 One;\\f1\\fswiss\\fcharset0 Two;}\\f1 a}") << 0
        << "family" << QStringLiteral("Two");
    QTest::newRow("font name in u escapes")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset129 \\u-17967?\\u-14528? \\u-21280?\\u-19179?;}}\\f0 a}") << 0
        << "family" << QStringLiteral("맑은 고딕");
    QTest::newRow("unknown font index has no family") << fonts + "\\f9 a}" << 0 << "family" << QString();

    const QByteArray doc = "{\\rtf1\\ansi{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("half-point size 10.5") << doc + "\\fs21 a}" << 0 << "size" << QStringLiteral("10.5");
    QTest::newRow("default size is 12") << doc + "a}" << 0 << "size" << QStringLiteral("12");
    QTest::newRow("fs0 keeps the size") << doc + "\\fs20\\fs0 a}" << 0 << "size" << QStringLiteral("10");
    QTest::newRow("bold") << doc + "\\b a}" << 0 << "bold" << QStringLiteral("yes");
    QTest::newRow("b0 ends bold") << doc + "\\b a\\b0 b}" << 1 << "bold" << QStringLiteral("no");
    QTest::newRow("bold ends with its group") << doc + "{\\b a}b}" << 1 << "bold" << QStringLiteral("no");
    QTest::newRow("italic") << doc + "\\i a}" << 0 << "italic" << QStringLiteral("yes");
    QTest::newRow("i0 ends italic") << doc + "\\i a\\i0 b}" << 1 << "italic" << QStringLiteral("no");
    QTest::newRow("underline") << doc + "\\ul a}" << 0 << "underline" << QStringLiteral("yes");
    QTest::newRow("ulnone ends underline") << doc + "\\ul a\\ulnone b}" << 1 << "underline" << QStringLiteral("no");
    QTest::newRow("ul0 ends underline") << doc + "\\ul a\\ul0 b}" << 1 << "underline" << QStringLiteral("no");
    QTest::newRow("word underline is underline") << doc + "\\ulw a}" << 0 << "underline" << QStringLiteral("yes");
    QTest::newRow("underline colour is not underline") << doc + "\\ulc1 a}" << 0 << "underline" << QStringLiteral("no");
    QTest::newRow("strike") << doc + "\\strike a}" << 0 << "strike" << QStringLiteral("yes");
    QTest::newRow("superscript") << doc + "\\super a}" << 0 << "vertical" << QStringLiteral("super");
    QTest::newRow("plain ends everything")
        << doc + "\\b\\i\\ul\\cf1\\fs40\\plain a}" << 0 << "bold" << QStringLiteral("no");
    QTest::newRow("cf index") << doc + "\\cf2 a}" << 0 << "foreground" << QStringLiteral("#0000ff");
    QTest::newRow("cf0 is auto") << doc + "\\cf1 a\\cf0 b}" << 1 << "foreground" << QStringLiteral("auto");
    QTest::newRow("cf past the table is auto") << doc + "\\cf7 a}" << 0 << "foreground" << QStringLiteral("auto");
    QTest::newRow("table without auto entry: cf0 is black")
        << QByteArray("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\cf0 a}") << 0
        << "foreground" << QStringLiteral("#000000");
    QTest::newRow("highlight") << doc + "\\highlight1 a}" << 0 << "background" << QStringLiteral("#ff0000");
    QTest::newRow("highlight0 is none") << doc + "\\highlight1 a\\highlight0 b}" << 1 << "background"
                                        << QStringLiteral("auto");
    QTest::newRow("cb background") << doc + "\\cb2 a}" << 0 << "background" << QStringLiteral("#0000ff");

    QTest::newRow("tab stops in twips") << doc + "\\pard\\tx720\\tx1440 a}" << 0 << "tabs"
                                        << QStringLiteral("L720,L1440");
    QTest::newRow("odd twips survive") << doc + "\\pard\\tx975\\tx1951 a}" << 0 << "tabs"
                                       << QStringLiteral("L975,L1951");
    QTest::newRow("tab kinds") << doc + "\\pard\\tqr\\tx2000\\tqc\\tx3000\\tqdec\\tx4000\\tx5000 a}" << 0 << "tabs"
                               << QStringLiteral("R2000,C3000,D4000,L5000");
    QTest::newRow("pard clears tab stops") << doc + "\\pard\\tx720 a\\par\\pard b}" << 2 << "tabs" << QString();
    QTest::newRow("tab stops carry to the next paragraph")
        << doc + "\\pard\\tx720 a\\par b}" << 2 << "tabs" << QStringLiteral("L720");
    QTest::newRow("centred") << doc + "\\pard\\qc a}" << 0 << "alignment" << QStringLiteral("center");
    QTest::newRow("right") << doc + "\\pard\\qr a}" << 0 << "alignment" << QStringLiteral("right");
    QTest::newRow("justified") << doc + "\\pard\\qj a}" << 0 << "alignment" << QStringLiteral("justify");
    QTest::newRow("properties at par apply to the paragraph")
        << doc + "\\pard a\\qc\\par b}" << 0 << "alignment" << QStringLiteral("center");
    QTest::newRow("indents") << doc + "\\pard\\li720\\ri360\\fi-360 a}" << 0 << "indents"
                             << QStringLiteral("720,360,-360");
    QTest::newRow("spacing") << doc + "\\pard\\sb120\\sa200 a}" << 0 << "spacing" << QStringLiteral("120,200");
    QTest::newRow("empty paragraph keeps its size")
        << doc + "a\\par\\fs40\\par b}" << 2 << "size" << QStringLiteral("20");
}

void TestRtfReader::readsFormatting() {
    QFETCH(QByteArray, rtf);
    QFETCH(int, position);
    QFETCH(QString, property);
    QFETCH(QString, expected);
    QTextDocument document;
    RtfReader::read(rtf, document);
    QCOMPARE(RtfDocumentProbe::property(document, position, property), expected);
}

void TestRtfReader::readsPictures_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedImage"); // at position 1

    const QByteArray png = pngHex(3, 2);
    QTest::newRow("png at its natural size")
        << "{\\rtf1 a{\\pict\\pngblip\\picw3\\pich2\r\n" + png + "}b}" << QStringLiteral("ab\n") << "45x30";
    QTest::newRow("png at its goal size")
        << "{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal300 " + png + "}b}" << QStringLiteral("ab\n") << "600x300";
    QTest::newRow("png scaled") << "{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal300\\picscalex50\\picscaley200 " +
                                       png + "}b}"
                                << QStringLiteral("ab\n") << "300x600";
    const QByteArray jpeg = jpegBytes();
    QTest::newRow("jpeg as binary") << "{\\rtf1 a{\\pict\\jpegblip\\bin" + QByteArray::number(jpeg.size()) + ' ' +
                                           jpeg + "}b}"
                                    << QStringLiteral("ab\n") << "60x60";
    QTest::newRow("Word's shppict read, nonshppict skipped")
        << "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}"
        << QStringLiteral("ab\n") << "45x30";
    QTest::newRow("damaged png left out")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000}b}") << QStringLiteral("ab\n") << "none";
}

void TestRtfReader::readsPictures() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedImage);
    QTextDocument document;
    RtfReader::read(rtf, document);
    QCOMPARE(RtfPlainText::lines(document), expectedText);
    QCOMPARE(RtfDocumentProbe::property(document, 1, QStringLiteral("image")), expectedImage);
}

void TestRtfReader::insertsAtCursor() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("host"));
    cursor.setPosition(2);
    cursor.setPosition(3, QTextCursor::KeepAnchor); // "s" is replaced

    RtfReader::insert("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}}\\pard\\qr\\f0\\b X\\par}", cursor);

    QCOMPARE(RtfPlainText::lines(document), QStringLiteral("hoXt\n"));
    QCOMPARE(RtfDocumentProbe::property(document, 2, QStringLiteral("bold")), QStringLiteral("yes"));
    QCOMPARE(RtfDocumentProbe::property(document, 2, QStringLiteral("family")), QStringLiteral("Arial"));
    QCOMPARE(RtfDocumentProbe::property(document, 3, QStringLiteral("bold")), QStringLiteral("no"));
    // The host paragraph keeps its own layout.
    QCOMPARE(RtfDocumentProbe::property(document, 0, QStringLiteral("alignment")), QStringLiteral("center"));
    // One undo step takes the whole insertion back.
    document.undo();
    QCOMPARE(RtfPlainText::lines(document), QStringLiteral("host\n"));
}

QTEST_MAIN(TestRtfReader)
#include "TestRtfReader.moc"

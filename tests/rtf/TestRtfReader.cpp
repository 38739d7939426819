#include <QBuffer>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "RtfDocumentProbe.h"
#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"

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

const QByteArray kMsPGothic = "\\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e";
const QByteArray kMsGothic = "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e";
const QByteArray kMsMincho = "\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    // The text, line by line, of what writers of every kind produce, and of damage.
    void readsText_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        const QByteArray sjis = "\\ansi\\ansicpg932";
        QTest::newRow("cp932 81 60 is fullwidth tilde, not wave dash")
            << withCharset(128, "\\'81\\'60", sjis) << QStringLiteral("\uFF5E\n");
        QTest::newRow("cp932 NEC row 87 40 is circled one")
            << withCharset(128, "\\'87\\'40", sjis) << QStringLiteral("①\n");
        QTest::newRow("charset 128 wins over ansicpg1252")
            << withCharset(128, "\\'92\\'86\\'9a\\'a0") << QStringLiteral("中國\n");
        QTest::newRow("lead and trail split by a source line break")
            << withCharset(128, "\\'82\r\n\\'a0", sjis) << QStringLiteral("あ\n");
        QTest::newRow("trail byte 5c escaped is not a backslash")
            << withCharset(128, "\\'95\\'5c", sjis) << QStringLiteral("表\n");
        // Some writers put Shift-JIS bytes in the text as they are, trail bytes 5c, 7b and 7d
        // ("\\", "{" and "}") included.
        QTest::newRow("raw Shift-JIS under charset 128")
            << withCharset(128, "\x82\xa0\x95\x5c\x83\x7b\x83\x7d\xe8\x7b\xe0\x5c x")
            << QStringLiteral("あ表ボマ閔濬 x\n");
        QTest::newRow("raw Shift-JIS by the document's ansicpg932")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \x93\xfa\x96\x7b\\par}") << QStringLiteral("日本\n");
        QTest::newRow("charset 0 is Windows Latin even under ansicpg932")
            << withCharset(0, "caf\\'e9", sjis) << QStringLiteral("café\n");
        QTest::newRow("font cpg65001 overrides charset 128")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128\\cpg65001 X;}}\\f0\\'e4\\'b8\\'ad\\'e5\\'9c\\'8b}")
            << QStringLiteral("中國\n");
        QTest::newRow("default font from deff without an f in the body")
            << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset128 B;}}\\'82\\'a0}")
            << QStringLiteral("あ\n");
        QTest::newRow("charset 2 symbol bullet") << withCharset(2, "\\'b7") << QStringLiteral("•\n");
        QTest::newRow("u with one fallback") << withCharset(0, "\\u26085?x") << QStringLiteral("日x\n");
        QTest::newRow("negative u is the upper half")
            << withCharset(0, "\\u-248?\\u-2304?") << QStringLiteral("（\uF700\n");
        QTest::newRow("surrogate pair") << withCharset(0, "\\u-10179?\\u-8704?") << QStringLiteral("😀\n");
        QTest::newRow("uc2 skips a Shift-JIS fallback")
            << withCharset(128, "\\uc2\\u26085\\'93\\'fa\\u26412\\'96\\'7b", sjis) << QStringLiteral("日本\n");
        QTest::newRow("LibreOffice hex question mark fallback")
            << withCharset(0, "\\u26085\\'3f\\u26412\\'3f") << QStringLiteral("日本\n");
        QTest::newRow("fallback skipping stops at a group end")
            << withCharset(0, "{\\uc3\\u26085?}ab") << QStringLiteral("日ab\n");
        QTest::newRow("upr takes the unicode branch")
            << withCharset(0, "{\\upr{ANSI}{\\*\\ud{\\u26085?}}}x") << QStringLiteral("日x\n");
        QTest::newRow("last par ends the document")
            << QByteArray("{\\rtf1 a\\par b\\par\r\n}") << QStringLiteral("a\nb\n");
        QTest::newRow("empty last paragraph kept") << QByteArray("{\\rtf1 a\\par\\par}") << QStringLiteral("a\n\n");
        QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QStringLiteral("\n");
        QTest::newRow("source line breaks are not text")
            << QByteArray("{\\rtf1 a\r\nb\rc\nd}") << QStringLiteral("abcd\n");
        QTest::newRow("NUL after the last brace")
            << QByteArray("{\\rtf1 a\\par\r\n}\r\n\0", 19) << QStringLiteral("a\n");
        QTest::newRow("ignorable destination skipped")
            << QByteArray("{\\rtf1 a{\\*\\unknownword b{c}}d}") << QStringLiteral("ad\n");
        QTest::newRow("hyperlink field shows its result")
            << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst{HYPERLINK \"http://x\"}}{\\fldrslt{\\ul link}}} now}")
            << QStringLiteral("see link now\n");
        QTest::newRow("pntext bullet in the Symbol font")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset2 Symbol;}}\\f0{\\pntext\\f1\\'b7\\tab}"
                          "{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}item}")
            << QStringLiteral("•\titem\n");
        QTest::newRow("plain Shift-JIS text") << QByteArray("\x82\xa0\x82\xa2") << QStringLiteral("あい\n");
        QTest::newRow("leading space is not RTF") << QByteArray(" {\\rtf1 a}") << QStringLiteral(" {\\rtf1 a}\n");
        // Damaged input, from a broken data file or a datagram from anyone: the text
        // around the damage survives.
        QTest::newRow("100000 unterminated groups")
            << "{\\rtf1 a" + QByteArray("{").repeated(100000) + "b" << QStringLiteral("ab\n");
        QTest::newRow("100000 nested ignorable groups")
            << "{\\rtf1 a" + QByteArray("{\\*\\x").repeated(100000) + QByteArray("}").repeated(100000) + "b}"
            << QStringLiteral("ab\n");
        QTest::newRow("more closing than opening braces")
            << "{\\rtf1 a}" + QByteArray("}").repeated(1000) << QStringLiteral("a\n");
        QTest::newRow("bin longer than the input")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz}}") << QStringLiteral("a\n");
        QTest::newRow("bin in a skipped group swallows braces")
            << QByteArray("{\\rtf1 a{\\*\\x\\bin3 }}}}b}") << QStringLiteral("ab\n");
        QTest::newRow("very long control word")
            << "{\\rtf1\\" + QByteArray("a").repeated(100000) + " b}" << QStringLiteral("b\n");
        QTest::newRow("png header claiming a huge image")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000000d494844520000fffe0000fffe0806000000}b}")
            << QStringLiteral("ab\n");
    }
    void readsText() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(readLines(rtf), expected);
    }

    void readsFormatting_data() {
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
        QTest::newRow("Latin font with its alternate name")
            << fonts + "\\f3 a}" << 0 << "families" << QStringLiteral("Arial|Helvetica");
        QTest::newRow("plain returns to the deff font")
            << fonts + "\\f3 a\\plain b}" << 1 << "family" << QStringLiteral("ＭＳ Ｐゴシック");

        const QByteArray doc = "{\\rtf1\\ansi{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
        QTest::newRow("half-point size 10.5") << doc + "\\fs21 a}" << 0 << "size" << QStringLiteral("10.5");
        QTest::newRow("bold ends with its group") << doc + "{\\b a}b}" << 1 << "bold" << QStringLiteral("no");
        QTest::newRow("underline colour is not underline")
            << doc + "\\ulc1 a}" << 0 << "underline" << QStringLiteral("no");
        QTest::newRow("plain ends everything")
            << doc + "\\b\\i\\ul\\cf1\\fs40\\plain a}" << 0 << "bold" << QStringLiteral("no");
        QTest::newRow("cf0 is auto") << doc + "\\cf1 a\\cf0 b}" << 1 << "foreground" << QStringLiteral("auto");
        QTest::newRow("table without auto entry: cf0 is black")
            << QByteArray("{\\rtf1{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\cf0 a}") << 0
            << "foreground" << QStringLiteral("#000000");

        QTest::newRow("odd twips survive")
            << doc + "\\pard\\tx975\\tx1951 a}" << 0 << "tabs" << QStringLiteral("L975,L1951");
        QTest::newRow("pard clears tab stops") << doc + "\\pard\\tx720 a\\par\\pard b}" << 2 << "tabs" << QString();
        QTest::newRow("tab stops carry to the next paragraph")
            << doc + "\\pard\\tx720 a\\par b}" << 2 << "tabs" << QStringLiteral("L720");
        QTest::newRow("properties at par apply to the paragraph")
            << doc + "\\pard a\\qc\\par b}" << 0 << "alignment" << QStringLiteral("center");
        QTest::newRow("fs beyond 64 bits is the largest size")
            << QByteArray("{\\rtf1\\fs999999999999999999999999999 a}") << 0 << "size" << QStringLiteral("1638");
        QTest::newRow("cf beyond 32 bits is auto")
            << doc + "\\cf99999999999 a}" << 0 << "foreground" << QStringLiteral("auto");
        // Past the nesting cap a group's formatting is not saved, but its braces still
        // count: after the deep part the outer formatting is back.
        QTest::newRow("deep groups keep their balance")
            << "{\\rtf1 a" + QByteArray("{").repeated(1000) + "\\b x" + QByteArray("}").repeated(1000) + "y}" << 2
            << "bold" << QStringLiteral("no");
        QTest::newRow("empty paragraph keeps its size")
            << doc + "a\\par\\fs40\\par b}" << 2 << "size" << QStringLiteral("20");
    }

    void readsFormatting() {
        QFETCH(QByteArray, rtf);
        QFETCH(int, position);
        QFETCH(QString, property);
        QFETCH(QString, expected);
        QTextDocument document;
        RtfReader::read(rtf, document);
        QCOMPARE(RtfDocumentProbe::property(document, position, property), expected);
    }

    void readsPictures_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expectedText");
        QTest::addColumn<QString>("expectedImage"); // at position 1

        const QByteArray png = pngHex(3, 2);
        QTest::newRow("png at its natural size")
            << "{\\rtf1 a{\\pict\\pngblip\\picw3\\pich2\r\n" + png + "}b}" << QStringLiteral("ab\n") << "45x30";
        QTest::newRow("png scaled")
            << "{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal300\\picscalex50\\picscaley200 " + png + "}b}"
            << QStringLiteral("ab\n") << "300x600";
        QTest::newRow("Word's shppict read, nonshppict skipped")
            << "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 0100}}b}"
            << QStringLiteral("ab\n") << "45x30";
        // What cannot be shown still stands in the text, as a frame of its size, and is kept.
        QTest::newRow("damaged png kept as a frame")
            << QByteArray("{\\rtf1 a{\\pict\\pngblip 89504e470d0a1a0a0000}b}") << QStringLiteral("ab\n") << "480x480";
        QTest::newRow("metafile kept as a frame of its shown size")
            << QByteArray("{\\rtf1 a{\\pict\\wmetafile8\\picw2117\\pich1058\\picwgoal1200\\pichgoal600 01000900}b}")
            << QStringLiteral("ab\n") << "1200x600";
    }

    void readsPictures() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expectedText);
        QFETCH(QString, expectedImage);
        QTextDocument document;
        RtfReader::read(rtf, document);
        QCOMPARE(RtfPlainText::lines(document), expectedText);
        QCOMPARE(RtfDocumentProbe::property(document, 1, QStringLiteral("image")), expectedImage);
    }

    void insertsAtCursor() {
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
};

QTEST_MAIN(TestRtfReader)
#include "TestRtfReader.moc"

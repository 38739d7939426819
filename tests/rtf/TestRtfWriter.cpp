#include <QBuffer>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtTest>

#include "RtfDocumentProbe.h"
#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

namespace {

QByteArray writeHtml(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return RtfWriter::write(document);
}

QString span(const QString& style, const QString& text) {
    return QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text);
}

bool isAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return c > 0 && static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT

private slots:
    void writesRichEditShape() {
        const QString gothic = QStringLiteral("ＭＳ ゴシック");
        const QByteArray rtf =
            writeHtml(span(QStringLiteral("font-family:'%1'; font-size:10pt").arg(gothic), QStringLiteral("メモ")) +
                      span(QStringLiteral("font-family:Arial; color:#ff0000"), QStringLiteral("x")));
        QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"),
                 rtf.constData());
        for (const char* piece :
             {"{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}",
              "{\\f1\\fnil\\fcharset0 Arial;}", "{\\colortbl ;\\red255\\green0\\blue0;}", "\\viewkind4\\uc1\\pard",
              "\\f0\\fs20\\'83\\'81\\'83\\'82"})
            QVERIFY2(rtf.contains(piece), rtf.constData());
        QVERIFY2(rtf.endsWith("\\par\r\n}\r\n") && isAscii(rtf), rtf.constData());
    }

    void writesText_data() {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QByteArray>("expected"); // a piece of the output

        const QString gothic = QStringLiteral("font-family:'ＭＳ ゴシック'");
        QTest::newRow("kana as Shift-JIS bytes") << span(gothic, QStringLiteral("あ")) << QByteArray("\\'82\\'a0");
        QTest::newRow("fullwidth tilde as 81 60") << span(gothic, QStringLiteral("\uFF5E")) << QByteArray("\\'81\\'60");
        QTest::newRow("NEC circled one as 87 40") << span(gothic, QStringLiteral("①")) << QByteArray("\\'87\\'40");
        QTest::newRow("wave dash has no cp932 form: u")
            << span(gothic, QStringLiteral("\u301C")) << QByteArray("\\u12316?");
        QTest::newRow("yen sign is not written as a backslash byte")
            << span(gothic, QStringLiteral("¥")) << QByteArray("\\u165?");
        QTest::newRow("Hangul above 32767 as a negative u")
            << span(gothic, QStringLiteral("한")) << QByteArray("\\u-10916?");
        QTest::newRow("emoji as a surrogate pair") << QStringLiteral("😀") << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("kana under a Latin font name makes it Shift-JIS")
            << span(QStringLiteral("font-family:Arial"), QStringLiteral("あ")) << QByteArray("\\fcharset128 Arial;}");
        QTest::newRow("RTF specials escaped") << QStringLiteral("{a}\\b") << QByteArray("\\{a\\}\\\\b");
        QTest::newRow("tab kept apart from a following digit")
            << QStringLiteral("<pre>a\t1</pre>") << QByteArray("a\\tab 1");
        QTest::newRow("bold kept apart from its text")
            << QStringLiteral("a<b>bold</b>c") << QByteArray("a\\b bold\\b0 c");
        QTest::newRow("half-point size") << span(QStringLiteral("font-size:10.5pt"), QStringLiteral("a"))
                                         << QByteArray("\\fs21 a");
        QTest::newRow("colour back to auto")
            << span(QStringLiteral("color:#0000ff"), QStringLiteral("a")) + u'b' << QByteArray("\\cf1 a\\cf0 b");
        QTest::newRow("each paragraph ends with par")
            << QStringLiteral("<p>a</p><p>b</p>") << QByteArray("a\\par\r\nb\\par\r\n}");
    }

    void writesText() {
        QFETCH(QString, html);
        QFETCH(QByteArray, expected);
        const QByteArray rtf = writeHtml(html);
        QVERIFY2(rtf.contains(expected), rtf.constData());
        QVERIFY(isAscii(rtf));
    }

    // Documents as other programs write them: read, write, read again must keep everything.
    void roundTripsRtf_data() {
        QTest::addColumn<QByteArray>("rtf");

        const QByteArray header = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0\\fmodern"
                                  "\\fprq1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
                                  "{\\f1\\fswiss\\fcharset0 Arial;}}\r\n{\\colortbl ;\\red255\\green0\\blue0;"
                                  "\\red0\\green0\\blue255;}\r\n\\viewkind4\\uc1";
        QTest::newRow("tab stops in twips")
            << header + "\\pard\\tx975\\tx1950\\tx2925\\f0\\fs20 a\\tab b\\tab c\\par\r\n}";
        QTest::newRow("tab stops change between paragraphs")
            << header + "\\pard\\tx720 a\\par\r\n\\pard\\tx1440\\tx2880 b\\par\r\n\\pard c\\par\r\n}";
        QTest::newRow("sizes") << header + "\\f0\\fs21 a\\fs19 b\\fs144 c\\fs2 d\\par\r\n}";
        QTest::newRow("every character property")
            << header + "\\f0 a\\b b\\i c\\ul d\\strike e\\cf1 f\\highlight2 g\\plain h\\par\r\n}";
        QTest::newRow("empty paragraphs with their own size")
            << header + "\\fs20 a\\par\r\n\\fs40\\par\r\n\\fs10\\par\r\n}";
        QTest::newRow("Japanese in a Latin font") << header + "\\f1 \\'82\\'a0\\u233?\\par\r\n}";
        QTest::newRow("no final par") << header + "a\\par\r\nb}";
    }

    void roundTripsRtf() {
        QFETCH(QByteArray, rtf);
        QTextDocument original;
        RtfReader::read(rtf, original);
        const QByteArray written = RtfWriter::write(original);
        QTextDocument copy;
        RtfReader::read(written, copy);
        QCOMPARE(RtfDocumentProbe::signature(copy), RtfDocumentProbe::signature(original));
        QCOMPARE(RtfPlainText::lines(copy), RtfPlainText::lines(original));
        // Writing is stable: what the writer wrote, it writes again byte for byte.
        QCOMPARE(RtfWriter::write(copy), written);
    }

    void roundTripsPictures() {
        QImage image(5, 3, QImage::Format_ARGB32);
        image.fill(QColor(10, 200, 30, 128));
        image.setPixelColor(1, 1, Qt::blue);
        QTextDocument original;
        original.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("mem:pic")), image);
        QTextCursor cursor(&original);
        cursor.insertText(QStringLiteral("a"));
        QTextImageFormat format;
        format.setName(QStringLiteral("mem:pic"));
        format.setWidth(40);
        format.setHeight(24);
        cursor.insertImage(format);
        cursor.insertText(QStringLiteral("b"));

        const QByteArray rtf = RtfWriter::write(original);
        QVERIFY2(rtf.contains("{\\pict\\pngblip\\picw5\\pich3\\picwgoal600\\pichgoal360"), rtf.constData());
        QVERIFY(isAscii(rtf));

        QTextDocument copy;
        RtfReader::read(rtf, copy);
        QCOMPARE(RtfDocumentProbe::property(copy, 1, QStringLiteral("image")), QStringLiteral("600x360"));
        const QTextImageFormat read = RtfDocumentProbe::charFormatAt(copy, 1).toImageFormat();
        const QImage back = qvariant_cast<QImage>(copy.resource(QTextDocument::ImageResource, QUrl(read.name())));
        QCOMPARE(back.convertToFormat(QImage::Format_ARGB32), image);
        QCOMPARE(RtfPlainText::lines(copy), QStringLiteral("ab\n"));
    }

    void keepsPicturesAsRead() {
        // A picture read from RTF is written back with its own bytes and words, whether or not
        // it can be shown, and a large one is decoded only as large as it is shown.
        QImage large(2000, 1000, QImage::Format_RGB32);
        large.fill(Qt::darkCyan);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(large.save(&buffer, "JPEG", 50));
        const QByteArray metafile =
            "{\\pict\\wmetafile8\\picw2117\\pich1058\\picbmp\\picbpp4\\picwgoal1200\\pichgoal600\r\n"
            "0100090000037c\r\n}";
        const QByteArray photo = "{\\pict\\jpegblip\\picw2000\\pich1000\\picwgoal1500\\pichgoal750\r\n";
        QTextDocument document;
        RtfReader::read("{\\rtf1\\ansi a" + metafile + "b" + photo + jpeg.toHex() + "}c\\par}", document);
        QCOMPARE(RtfPlainText::lines(document), QStringLiteral("abc\n"));
        QCOMPARE(RtfDocumentProbe::property(document, 3, QStringLiteral("image")), QStringLiteral("1500x750"));
        const QTextImageFormat shown = RtfDocumentProbe::charFormatAt(document, 3).toImageFormat();
        const QImage decoded =
            qvariant_cast<QImage>(document.resource(QTextDocument::ImageResource, QUrl(shown.name())));
        QVERIFY2(decoded.width() <= 200 && decoded.height() <= 100, qPrintable(QString::number(decoded.width())));

        const QByteArray written = RtfWriter::write(document);
        QVERIFY2(written.contains(metafile), written.constData());
        QVERIFY(written.contains(photo));
        QVERIFY(QByteArray(written).replace("\r\n", "").contains(jpeg.toHex()));
        // Pasted into another document, the pictures are the same again.
        QTextDocument copy;
        QTextCursor at(&copy);
        RtfReader::insert(written, at);
        QCOMPARE(RtfWriter::write(copy), written);
    }
};

QTEST_MAIN(TestRtfWriter)
#include "TestRtfWriter.moc"

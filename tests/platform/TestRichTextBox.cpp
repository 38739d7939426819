#include "platform/RichTextBox.h"
#include "rtf/RtfWriter.h"

#include "FileBytes.h"
#include "RtfFiles.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <functional>

namespace {

// Three runs: "ab" plain 10 pt MS Gothic, "cd" bold 12 pt red, "ef" plain 10 pt.
const QByteArray kMixed = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 "
                          "\\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}{\\f1\\fswiss Arial;}}"
                          "{\\colortbl ;\\red255\\green0\\blue0;}"
                          "\\viewkind4\\uc1\\pard\\f0\\fs20 ab\\f1\\fs24\\b\\cf1 cd\\f0\\fs20\\b0\\cf0 ef\\par}";

} // namespace

class TestRichTextBox : public QObject {
    Q_OBJECT

private slots:
    void rtfInAndOut() {
        RichTextBox box;
        box.setTextRTF(kMixed + ":trailer from the network");
        QCOMPARE(box.text(), QStringLiteral("abcdef"));
        // What the box writes reads back to the same text and formats.
        RichTextBox again;
        again.setTextRTF(box.textRTF());
        QCOMPARE(again.text(), QStringLiteral("abcdef"));
        again.setSelStart(3);
        again.setSelLength(1);
        QCOMPARE(
            std::tuple(again.selBold(), again.selColor(), again.selFontName()),
            std::tuple(std::optional(true), std::optional<qint32>(0x0000FF), std::optional(QStringLiteral("Arial"))));
    }

    // The RTF a box keeps between saves follows every kind of change: after each
    // one it is what writing the document now gives, and it is not what it was.
    void theKeptRtfFollowsEveryChange() {
        RichTextBox box;
        box.setTextRTF(kMixed);
        const std::pair<const char*, std::function<void()>> changes[] = {
            {"typing", [&] { QTest::keyClicks(&box, "x"); }},
            {"bold", [&] { box.setSelStart(0), box.setSelLength(2), box.setSelBold(true); }},
            {"colour", [&] { box.setSelColor(0x00FF00); }},
            {"size", [&] { box.setSelFontSize(20); }},
            {"font", [&] { box.setSelFontName(QStringLiteral("Noto Serif CJK JP")); }},
            {"tab stops",
             [&] {
                 box.setSelTabs({720, 1440});
             }},
            {"undo", [&] { box.undo(); }},
            {"plain text", [&] { box.setText(QStringLiteral("new\r\ntext")); }},
            {"rtf", [&] { box.setTextRTF(kMixed); }},
        };
        for (const auto& [name, change] : changes) {
            const QByteArray before = box.textRTF();
            change();
            QVERIFY2(box.textRTF() != before, name);
            QVERIFY2(box.textRTF() == RtfWriter::write(*box.document()), name);
        }
        // Text without a font of its own is written in the box's default font.
        RichTextBox plain;
        plain.document()->setPlainText(QStringLiteral("abc"));
        const QByteArray before = plain.textRTF();
        plain.document()->setDefaultFont(QFont(QStringLiteral("Noto Sans Mono"), 15));
        QCOMPARE(plain.textRTF(), RtfWriter::write(*plain.document()));
        QVERIFY(plain.textRTF() != before);
    }

    // The one-pass walk gives, at every caret position, exactly the line and the
    // typing font that asking position by position gives: over our RTF files, the
    // shared fixtures where present, and the shapes fitting meets (an empty last
    // line, empty paragraphs, sizes mixed within a wrapped line, Japanese).
    void caretWalkMatchesThePositionByPositionAnswers() {
        QList<QByteArray> documents{
            "", "{\\rtf1 a\\par}", "{\\rtf1\\par\\par}",
            "{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS Gothic;}{\\f1 Arial;}}\\f0\\fs20 \\'82\\'a0\\f1\\fs48 big "
            "\\fs16 small words that wrap around the narrow box and on\\par\\fs30\\par\\fs12 end\\par}"};
        documents << rtfFiles();
        for (const QByteArray& rtf : documents) {
            RichTextBox box;
            box.resize(120, 400);
            box.setTextRTF(rtf);
            box.lineCount(); // fitting counts the lines first
            const QList<RichTextBox::CaretStop> stops = box.caretWalk();
            QList<RichTextBox::CaretStop> asked;
            for (int i = 0; i <= box.textLength(); ++i)
                asked.append({box.lineFromChar(i), box.typingFontAt(i)});
            QCOMPARE(stops.size(), asked.size());
            for (int i = 0; i < stops.size(); ++i) {
                QCOMPARE(stops.at(i).line, asked.at(i).line);
                QCOMPARE(stops.at(i).font.name, asked.at(i).font.name);
                QCOMPARE(stops.at(i).font.size, asked.at(i).font.size);
            }
        }
    }

    void linesAsWrapped() {
        RichTextBox box;
        box.setText(QStringLiteral("one\r\ntwo\nthree\rfour")); // line breaks are CR LF, one position each
        QCOMPARE(box.text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
        QCOMPARE(box.textLength(), 18);
        box.setDisplayOnly(true);
        box.resize(120, 200);
        box.setText(QStringLiteral("short\r\n\r\nlast"));
        QCOMPARE(box.lineCount(), 3);
        QCOMPARE(box.lineFromChar(6), 1); // the empty line
        box.setSelStart(9);
        QCOMPARE(box.lineFromChar(-1), 2);

        // A long paragraph wraps at the box's width, even while the box is hidden.
        box.setText(QString(40, QLatin1Char('w')).split(QString()).join(QLatin1Char(' ')));
        const int narrow = box.lineCount();
        QVERIFY(narrow > 2);
        box.resize(1000, 200);
        QVERIFY(box.lineCount() < narrow);
        QCOMPARE(box.lineFromChar(box.textLength()), box.lineCount() - 1);

        // A run no line can hold (a URL, a pasted hash) is broken anywhere; words and
        // Japanese text, which break by themselves, keep breaking at words.
        box.setText(QStringLiteral("see ") + QString(2000, QLatin1Char('x')));
        QCOMPARE(box.wordWrapMode(), QTextOption::WrapAnywhere);
        QVERIFY(box.lineCount() > 10);
        box.setText(QString(2000, QChar(0x6F22)));
        QCOMPARE(box.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    // A long note replaces a scrolled one: the box shows its start with the caret
    // there, and its lines are those of a box that read it afresh.
    void aLongNoteOpensAtItsTop() {
        QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0\\fs20 ";
        for (int i = 0; i < 400; ++i)
            rtf += "line " + QByteArray::number(i) + " with a few words that wrap\\par\r\n";
        rtf += "}";
        RichTextBox box;
        box.resize(150, 200);
        box.show();
        box.setTextRTF(rtf);
        box.setSelStart(box.textLength());
        box.ensureCursorVisible();
        QVERIFY(box.verticalScrollBar()->value() > 0);

        box.setTextRTF(rtf.replace("line", "LINE"));
        QCOMPARE(std::tuple(box.selStart(), box.selLength(), box.verticalScrollBar()->value()), std::tuple(0, 0, 0));
        QCOMPARE(box.document()->textWidth(), qreal(box.viewport()->width()));
        RichTextBox fresh;
        fresh.resize(box.size());
        fresh.setTextRTF(rtf);
        QCOMPARE(box.lineCount(), fresh.lineCount());
        QVERIFY(box.lineCount() > 400);
    }

    void copyOffersRtfAndText() {
        RichTextBox box;
        box.setTextRTF(kMixed);
        box.setSelStart(2);
        box.setSelLength(2);
        box.copy();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QCOMPARE(data->text(), QStringLiteral("cd"));
        QVERIFY(data->data("text/rtf").startsWith("{\\rtf1") && RichTextBox::clipboardHasText());

        // Pasting it elsewhere brings the formatting along.
        RichTextBox other;
        other.setText(QStringLiteral("xy"));
        other.setSelStart(1);
        other.paste();
        QCOMPARE(other.text(), QStringLiteral("xcdy"));
        other.setSelStart(2);
        QCOMPARE(other.selBold(), std::optional<bool>(true));
    }
};

QTEST_MAIN(TestRichTextBox)
#include "TestRichTextBox.moc"

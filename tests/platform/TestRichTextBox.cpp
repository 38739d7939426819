#include "platform/RichTextBox.h"
#include "platform/rtf/RtfWriter.h"

#include "FileBytes.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
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
        QCOMPARE(again.selBold(), std::optional<bool>(true));
        QCOMPARE(again.selColor(), std::optional<qint32>(0x0000FF));
        QCOMPARE(again.selFontName(), std::optional<QString>(QStringLiteral("Arial")));
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
        QStringList dirs{QStringLiteral(PINORA_TEST_DATA "/rtf")};
        if (QDir(QStringLiteral(PINORA_SHARED_FIXTURES "/rtf")).exists())
            dirs << QStringLiteral(PINORA_SHARED_FIXTURES "/rtf");
        for (const QString& dir : dirs)
            for (const QString& name : QDir(dir).entryList({"*.rtf"}))
                documents << readBytes(dir + QLatin1Char('/') + name);
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

    void textUsesCrLf() {
        RichTextBox box;
        box.setText(QStringLiteral("one\r\ntwo\nthree\rfour"));
        QCOMPARE(box.text(), QStringLiteral("one\r\ntwo\r\nthree\r\nfour"));
        QCOMPARE(box.textLength(), 18); // one position per line break
    }

    void selectionFormatIsMixedWhereItDiffers_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("boldKnown");
        QTest::addColumn<bool>("sizeKnown");
        QTest::addColumn<qreal>("size");
        QTest::newRow("inside the plain run") << 0 << 2 << true << true << 10.0;
        QTest::newRow("across plain and bold") << 1 << 2 << false << false << 0.0;
        QTest::newRow("two plain runs around the bold one") << 0 << 6 << false << false << 0.0;
        QTest::newRow("caret after b: typing continues plain") << 2 << 0 << true << true << 10.0;
        QTest::newRow("caret after c: typing continues bold") << 3 << 0 << true << true << 12.0;
    }
    void selectionFormatIsMixedWhereItDiffers() {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(bool, boldKnown);
        QFETCH(bool, sizeKnown);
        QFETCH(qreal, size);
        RichTextBox box;
        box.setTextRTF(kMixed);
        box.setSelStart(start);
        box.setSelLength(length);
        QCOMPARE(box.selStart(), start);
        QCOMPARE(box.selLength(), length);
        QCOMPARE(box.selBold().has_value(), boldKnown);
        QCOMPARE(box.selFontSize().has_value(), sizeKnown);
        if (sizeKnown)
            QCOMPARE(*box.selFontSize(), size);
        // Italic and underline are the same everywhere, so never mixed.
        QCOMPARE(box.selItalic(), std::optional<bool>(false));
        QCOMPARE(box.selUnderline(), std::optional<bool>(false));
    }

    void writingFormatToSelectionAndInsertionPoint() {
        RichTextBox box;
        box.setTextRTF(kMixed);
        box.setSelStart(0);
        box.setSelLength(6);
        box.setSelUnderline(true);
        box.setSelFontSize(10.5);
        QCOMPARE(box.selUnderline(), std::optional<bool>(true));
        QCOMPARE(box.selFontSize(), std::optional<qreal>(10.5));
        QVERIFY(!box.selBold()); // untouched properties stay mixed

        // With nothing selected the format is for what is typed next.
        box.setSelStart(6);
        box.setSelItalic(true);
        box.setSelColor(0x00FF0000);
        QTest::keyClicks(&box, "g");
        box.setSelStart(6);
        box.setSelLength(1);
        QCOMPARE(box.selItalic(), std::optional<bool>(true));
        QCOMPARE(box.selColor(), std::optional<qint32>(0x00FF0000));
        box.setSelStart(5);
        box.setSelLength(1);
        QCOMPARE(box.selItalic(), std::optional<bool>(false));
    }

    void linesAsWrapped() {
        RichTextBox box;
        box.setDisplayOnly(true);
        box.resize(120, 200);
        box.setText(QStringLiteral("short\r\n\r\nlast"));
        QCOMPARE(box.lineCount(), 3);
        QCOMPARE(box.lineFromChar(0), 0);
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
        QCOMPARE(box.selStart(), 0);
        QCOMPARE(box.selLength(), 0);
        QCOMPARE(box.verticalScrollBar()->value(), 0);
        QCOMPARE(box.document()->textWidth(), qreal(box.viewport()->width()));
        RichTextBox fresh;
        fresh.resize(box.size());
        fresh.setTextRTF(rtf);
        QCOMPARE(box.lineCount(), fresh.lineCount());
        QVERIFY(box.lineCount() > 400);
    }

    void displayOnlyLetsMouseThrough() {
        QWidget window;
        window.resize(200, 100);
        auto* surface = new QLabel(&window);
        surface->setGeometry(0, 0, 200, 100);
        auto* box = new RichTextBox(&window);
        box->setGeometry(0, 0, 200, 100);
        box->setText(QStringLiteral("note"));
        QVERIFY(window.childAt(50, 50) != surface);
        box->setDisplayOnly(true);
        QCOMPARE(window.childAt(50, 50), surface);
        QCOMPARE(box->focusPolicy(), Qt::NoFocus);
    }

    void notifications() {
        RichTextBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
        QSignalSpy changed(&box, &RichTextBox::changed);
        QSignalSpy selection(&box, &RichTextBox::selChange);
        QSignalSpy keys(&box, &RichTextBox::keyUp);
        QTest::keyClick(&box, Qt::Key_A);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(selection.count(), 1);
        QCOMPARE(keys.count(), 1);
        QCOMPARE(keys.first().at(0).toInt(), int(Qt::Key_A));
        box.setSelStart(0);
        QCOMPARE(selection.count(), 2);
        box.setSelStart(0); // no move, no notification
        QCOMPARE(selection.count(), 2);

        // Formatting alone is no change of the text; a replacement is exactly one.
        changed.clear();
        box.setSelLength(1);
        box.setSelBold(true);
        box.setSelColor(0x0000FF);
        QCOMPARE(changed.count(), 0);
        box.setTextRTF(kMixed);
        QCOMPARE(changed.count(), 1);
        box.setTextRTF(kMixed); // the same text again still reports
        QCOMPARE(changed.count(), 2);
        box.setText(QString());
        QCOMPARE(changed.count(), 3);
    }

    void dropsAreReportedNotInserted() {
        RichTextBox box;
        box.resize(200, 100);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setText(QStringLiteral("kept"));
        QList<const QMimeData*> dropped;
        connect(&box, &RichTextBox::dropped, this, [&](const QMimeData* d) { dropped << d; });
        QMimeData data;
        data.setData("text/rtf", "{\\rtf1 dropped}");
        data.setText(QStringLiteral("dropped"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &drop);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.first(), &data);
        QCOMPARE(box.text(), QStringLiteral("kept"));

        // Something that is neither text nor RTF is refused.
        QMimeData image;
        image.setData("image/png", "x");
        QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &image, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(box.viewport(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    void copyOffersRtfAndText() {
        RichTextBox box;
        box.setTextRTF(kMixed);
        box.setSelStart(2);
        box.setSelLength(2);
        box.copy();
        const QMimeData* data = QApplication::clipboard()->mimeData();
        QVERIFY(data);
        QCOMPARE(data->text(), QStringLiteral("cd"));
        QVERIFY(data->data("text/rtf").startsWith("{\\rtf1"));
        QVERIFY(RichTextBox::clipboardHasText());

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

#include "rtf/RtfReader.h"

#include <QTextCursor>
#include <QTextDocument>

#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfParser.h"
#include "text/CodePage.h"

bool RtfReader::isRtf(QByteArrayView bytes) {
    return bytes.startsWith("{\\rtf");
}

void RtfReader::read(QByteArrayView bytes, QTextDocument& document) {
    document.clear();
    QTextCursor cursor(&document);
    insert(bytes, cursor);
}

void RtfReader::insert(QByteArrayView bytes, QTextCursor& cursor) {
    cursor.beginEditBlock();
    if (isRtf(bytes)) {
        RtfTables tables;
        RtfDocumentBuilder builder(cursor, tables);
        RtfParser parser(bytes, tables, builder);
        parser.run();
    } else {
        insertPlainText(bytes, cursor);
    }
    cursor.endEditBlock();
}

void RtfReader::insertPlainText(QByteArrayView bytes, QTextCursor& cursor) {
    QString text = CodePage::decodeUtf8OrCp932(bytes.toByteArray());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.removeIf([](QChar c) { return (c.unicode() < 0x20 && c != u'\t' && c != u'\n') || c.unicode() == 0x7F; });
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    cursor.insertText(text);
}

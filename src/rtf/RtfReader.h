#pragma once

#include <QByteArrayView>

class QTextCursor;
class QTextDocument;

// Reads RTF as Windows rich-edit (1.0 to 8), WordPad, Word and LibreOffice write it into a
// QTextDocument. Whatever the bytes, reading ends, in time linear in their length: what cannot
// be read is skipped, and bytes after the document's closing brace are ignored. Bytes that do
// not start with "{\rtf" are taken as plain text (UTF-8 when they are valid UTF-8, else code
// page 932).
class RtfReader {
public:
    static bool isRtf(QByteArrayView bytes);

    // Replaces the document's content.
    static void read(QByteArrayView bytes, QTextDocument& document);

    // Inserts at the cursor in place of its selection, as one undo step. The paragraph mark
    // that ends the inserted document is not inserted, so a note dropped at the end of another
    // continues its last paragraph.
    static void insert(QByteArrayView bytes, QTextCursor& cursor);

private:
    static void insertPlainText(QByteArrayView bytes, QTextCursor& cursor);
};

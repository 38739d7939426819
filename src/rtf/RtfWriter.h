#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument as rich-edit does: a \ansicpg932 header with a font and a colour
// table, then \viewkind4\uc1 and the paragraphs, each ended by \par, the document by "}" and
// CR LF. The result is pure ASCII (see RtfTextEncoder), so it can go into the data file and the
// transfer datagram as it is. Pictures are written as PNG (\pict\pngblip).
class RtfWriter {
public:
    static QByteArray write(const QTextDocument& document);
};

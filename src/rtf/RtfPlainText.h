#pragma once

#include <QString>

class QTextDocument;

namespace RtfPlainText {

// The document's text as lines: one per paragraph, each ended by LF, with line breaks inside
// a paragraph (\line) ending lines too. Pictures have no text and leave nothing. Unlike
// QTextDocument::toPlainText, no-break spaces stay what they are.
QString lines(const QTextDocument& document);

} // namespace RtfPlainText

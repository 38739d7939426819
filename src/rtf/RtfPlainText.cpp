#include "rtf/RtfPlainText.h"

#include <QTextBlock>
#include <QTextDocument>

namespace RtfPlainText {

QString lines(const QTextDocument& document) {
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.replace(QChar::LineSeparator, u'\n');
        text.remove(QChar::ObjectReplacementCharacter);
        out += text;
        out += u'\n';
    }
    return out;
}

} // namespace RtfPlainText

// pinora-rtf: shows how Pinora reads an RTF file.
//   pinora-rtf text FILE   the document's plain text, UTF-8, one line per paragraph
//   pinora-rtf rtf FILE    the document as Pinora writes it back

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

namespace {

int usage() {
    std::fputs("usage: pinora-rtf text|rtf FILE\n", stderr);
    return 1;
}

void writeOut(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

} // namespace

int main(int argc, char** argv) {
    // Fonts and pictures need a GUI application, but this tool shows nothing: without a platform
    // of the user's choice it runs offscreen so that it works without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList args = app.arguments();
    if (args.size() != 3)
        return usage();
    const QString& mode = args.at(1);
    if (mode != QLatin1String("text") && mode != QLatin1String("rtf"))
        return usage();

    QFile file(args.at(2));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "pinora-rtf: cannot read %s: %s\n", qPrintable(args.at(2)),
                     qPrintable(file.errorString()));
        return 1;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        std::fprintf(stderr, "pinora-rtf: cannot read %s: %s\n", qPrintable(args.at(2)),
                     qPrintable(file.errorString()));
        return 1;
    }

    QTextDocument document;
    RtfReader::read(bytes, document);
    if (mode == QLatin1String("text"))
        writeOut(RtfPlainText::lines(document).toUtf8());
    else
        writeOut(RtfWriter::write(document));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

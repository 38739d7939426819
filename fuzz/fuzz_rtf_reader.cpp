// Reads arbitrary bytes as RTF, writes the document back and reads that again. The second
// reading must give the same text as the first: the writer may not produce what the reader
// cannot take back.

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

#include "rtf/RtfPlainText.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument first;
    RtfReader::read(input, first);
    const QByteArray written = RtfWriter::write(first);
    QTextDocument second;
    RtfReader::read(written, second);
    if (RtfPlainText::lines(first) != RtfPlainText::lines(second))
        std::abort();
    return 0;
}

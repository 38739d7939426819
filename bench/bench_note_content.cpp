// What one note's content costs when the note is restored at start-up and shown:
// a long unbroken word (a URL, a pasted hash), the same length in ordinary words,
// and large pictures shown small. Beside each, in the same run, the bare toolkit: a
// plain read-only QTextEdit of the note's width given the same document.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_note_content
#include "note/AppState.h"
#include "note/NoteBuilder.h"
#include "note/NoteColor.h"
#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"
#include "rtf/RtfReader.h"
#include "store/NoteRecord.h"

#include "QtBenchmarkMain.h"
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTextEdit>

namespace {

enum Content { LongWord, Words, Pictures };

QByteArray contentRtf(Content content) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard\\f0\\fs20 ";
    if (content == Pictures) {
        // Four scanned pages, 1 bit deep, shown as thumbnails.
        QImage page(8192, 4096, QImage::Format_Mono);
        page.fill(1);
        for (int y = 0; y < page.height(); y += 64)
            for (int x = 0; x < page.width(); ++x)
                page.setPixel(x, y, 0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        page.save(&buffer, "PNG");
        for (int i = 0; i < 4; ++i)
            rtf += "{\\pict\\pngblip\\picw8192\\pich4096\\picwgoal1200\\pichgoal600 " + png.toHex() + "}";
    } else {
        for (int i = 0; rtf.size() < 64 * 1024; ++i)
            rtf += content == LongWord ? "abcdef0123456789" : "word " + QByteArray::number(i) + ' ';
    }
    return rtf + "\\par}";
}

void restoreNote(benchmark::State& state) {
    const QByteArray rtf = contentRtf(Content(state.range(0)));
    QTemporaryDir dir;
    AppState app;
    app.appDir = dir.path() + QLatin1Char('/');
    app.noteWindows.resize(2);
    NoteRecord record;
    record.left = 1500;
    record.top = 1500;
    record.width = 3885;
    record.height = 690;
    record.backColor = NoteColor::Yellow;
    record.textRtf = rtf;
    record.index = 1;
    record.createdAt = "2026/12/07 10:00:00";
    record.visibleFlag = "1";
    record.placeOnShowFlag = "0";
    for (auto _ : state) {
        NoteWindow* note = RestoreNote(app, 1, record);
        note->show();
        note->grab(); // painted once, as the screen shows it
        delete note;
        app.noteWindows[1] = nullptr;
    }
}

void bareTextEdit(benchmark::State& state) {
    const QByteArray rtf = contentRtf(Content(state.range(0)));
    for (auto _ : state) {
        QTextEdit box;
        box.setReadOnly(true);
        box.resize(259, 46);
        RtfReader::read(rtf, *box.document());
        box.show();
        box.grab();
    }
}

} // namespace

BENCHMARK(restoreNote)->Arg(LongWord)->Arg(Words)->Arg(Pictures)->Unit(benchmark::kMillisecond);
BENCHMARK(bareTextEdit)->Arg(LongWord)->Arg(Words)->Arg(Pictures)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}

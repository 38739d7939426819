// Reading and writing notes as RTF, and the per-caret queries that fitting a note
// to its text makes. Run under the offscreen platform:
//   QT_QPA_PLATFORM=offscreen build/bench/bench_rtf
#include "platform/RichTextBox.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"

#include "QtBenchmarkMain.h"
#include <QTextDocument>

namespace {

// A formatted document of about the given size: Japanese and ASCII text in runs of
// changing font, size, weight and colour, in short paragraphs with tabs.
QByteArray formattedRtf(qsizetype size) {
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
                     "{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
                     "{\\f1\\fswiss\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                     "\\viewkind4\\uc1\\pard\\tx390\\tx780\\f0\\fs20 ";
    for (int i = 0; rtf.size() < size; ++i) {
        rtf += (i % 3 == 0) ? "\\b\\cf1\\fs24 " : (i % 3 == 1) ? "\\b0\\cf2\\f1\\fs20 " : "\\cf0\\f0\\fs21 ";
        rtf += "\\'93\\'fa\\'96\\'7b\\'8c\\'ea memo text\\tab number " + QByteArray::number(i);
        rtf += (i % 4 == 3) ? "\\par\r\n" : " ";
    }
    return rtf + "\\par\r\n}\r\n";
}

void readRtf(benchmark::State& state) {
    const QByteArray rtf = formattedRtf(state.range(0));
    for (auto _ : state) {
        QTextDocument document;
        RtfReader::read(rtf, document);
        benchmark::DoNotOptimize(document.characterCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}

void writeRtf(benchmark::State& state) {
    const QByteArray rtf = formattedRtf(state.range(0));
    QTextDocument document;
    RtfReader::read(rtf, document);
    qsizetype written = 0;
    for (auto _ : state) {
        const QByteArray out = RtfWriter::write(document);
        written = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * written);
}

// The caret walk of fitting: for every position, the line and the typing format.
void caretQueries(benchmark::State& state) {
    RichTextBox box;
    box.setDisplayOnly(true);
    box.resize(260, 400);
    QByteArray rtf = formattedRtf(4 * state.range(0));
    box.setTextRTF(rtf);
    while (box.textLength() > state.range(0)) {
        rtf.chop(rtf.size() / 10);
        box.setTextRTF(rtf + "}");
    }
    const int n = box.textLength();
    // 0: position by position, as fitting asked before; 1: the one-pass walk.
    const bool walk = state.range(1) == 1;
    for (auto _ : state) {
        int lines = 0;
        qreal sizes = 0;
        if (walk) {
            for (const RichTextBox::CaretStop& stop : box.caretWalk()) {
                lines += stop.line;
                sizes += stop.font.size;
                benchmark::DoNotOptimize(stop.font.name);
            }
        } else {
            for (int i = 0; i <= n; ++i) {
                lines += box.lineFromChar(i);
                const RichTextBox::FontAt font = box.typingFontAt(i);
                sizes += font.size;
                benchmark::DoNotOptimize(font.name);
            }
        }
        benchmark::DoNotOptimize(lines + sizes);
    }
    state.counters["chars"] = n;
}

} // namespace

BENCHMARK(readRtf)->Arg(2 * 1024)->Arg(100 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(writeRtf)->Arg(2 * 1024)->Arg(100 * 1024)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(caretQueries)
    ->Args({300, 0})
    ->Args({300, 1})
    ->Args({10000, 0})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}

// SaveAllNotes from real note windows, as every change runs it: the records built
// (each note's RTF, written anew where it changed), the file written beside the old
// one and flushed. The second argument: 1 when one note's text changes before each
// save, as when a note was just edited.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_save_all_notes
#include "note/AppState.h"
#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"
#include "store/Tag.h"

#include "QtBenchmarkMain.h"
#include <QTemporaryDir>

namespace {

void saveAllNotes(benchmark::State& state) {
    QTemporaryDir dir;
    AppState app;
    app.appDir = dir.path() + QLatin1Char('/');
    app.loading = false;
    const int count = int(state.range(0));
    app.noteWindows.resize(count + 2);
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
                     "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                     "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    while (rtf.size() < 2000)
        rtf += "\\b\\cf1 \\'83\\'81\\'83\\'82\\b0\\cf0  memo text\\tab 12\\par\r\n";
    rtf += "}";
    for (int k = 1; k <= count; ++k) {
        auto* note = new NoteWindow(app);
        note->setTag(Tag::MakeNewTag(k, QDateTime::currentDateTime()));
        note->textBox()->setTextRTF(rtf);
        app.noteWindows[k] = note;
    }
    app.noteCount = count;
    const bool edited = state.range(1) != 0;
    for (auto _ : state) {
        if (edited)
            app.noteWindows[count / 2]->textBox()->insertText(QStringLiteral("x"));
        benchmark::DoNotOptimize(SaveAllNotes(app));
    }
    for (auto& note : app.noteWindows)
        delete note.data();
}

} // namespace

BENCHMARK(saveAllNotes)->ArgsProduct({{100, 500}, {0, 1}})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}

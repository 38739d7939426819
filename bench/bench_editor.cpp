// The editor as a user meets it: opening it for a new note (the reset lists every
// installed font family), opening it on a written note, and the first construction.
//   QT_QPA_PLATFORM=offscreen build/bench/bench_editor 2>/dev/null
#include "editor/EditorWindow.h"
#include "note/AppState.h"
#include "note/NoteWindow.h"
#include "platform/RichTextBox.h"
#include "store/Tag.h"

#include "QtBenchmarkMain.h"
#include <QDateTime>
#include <QTemporaryDir>

namespace {

struct Scratch {
    QTemporaryDir dir;
    AppState app;
    Scratch() {
        app.appDir = dir.path() + QLatin1Char('/');
        app.loading = false;
        app.noteWindows.resize(2);
    }
};

void constructEditor(benchmark::State& state) {
    Scratch scratch;
    for (auto _ : state) {
        EditorWindow editor(scratch.app, {});
        benchmark::DoNotOptimize(&editor);
    }
}

void openForNewNote(benchmark::State& state) {
    Scratch scratch;
    EditorWindow editor(scratch.app, {});
    for (auto _ : state) {
        editor.openForNewNote(false);
        QCoreApplication::processEvents();
        editor.hide();
    }
}

void openForEdit(benchmark::State& state) {
    Scratch scratch;
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
                     "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    while (rtf.size() < state.range(0))
        rtf += "\\b \\'83\\'81\\'83\\'82\\b0  memo text\\tab 12\\par\r\n";
    rtf += "}";
    auto* note = new NoteWindow(scratch.app);
    note->setTag(Tag::MakeNewTag(1, QDateTime::currentDateTime()));
    note->textBox()->setTextRTF(rtf);
    scratch.app.noteWindows[1] = note;
    scratch.app.noteCount = 1;
    EditorWindow editor(scratch.app, {});
    for (auto _ : state) {
        editor.openForEdit(*note);
        QCoreApplication::processEvents();
        editor.hide();
    }
    delete note;
}

} // namespace

BENCHMARK(constructEditor)->Unit(benchmark::kMillisecond);
BENCHMARK(openForNewNote)->Unit(benchmark::kMillisecond);
BENCHMARK(openForEdit)->Arg(2000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}

// Encoding, decoding and saving data files of typical sizes: 100 and 500 notes of
// about 2 KB of RTF each, which is what a long-time user's desktop holds.
#include "store/DataFile.h"
#include "store/NoteFile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QList<NoteRecord> notes(int count) {
    QList<NoteRecord> records;
    for (int i = 1; i <= count; ++i) {
        NoteRecord r;
        r.index = i;
        r.left = 100 * i;
        r.top = 50 * i;
        r.height = 1500;
        r.width = 3000;
        r.backColor = 0x0098FFFF;
        r.textRtf = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 "
                    "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}}\\viewkind4\\uc1\\pard\\f0\\fs20 " +
                    QByteArray(1900, 'a') + "\\par}";
        r.createdAt = "26/12/06 21:35:00";
        r.visibleFlag = "T";
        r.placeOnShowFlag = "F";
        records.append(r);
    }
    records.append(NoteRecord{});
    return records;
}

void encode(benchmark::State& state) {
    const QList<NoteRecord> records = notes(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(NoteFile::encode(qint32(state.range(0)), records));
}

void decode(benchmark::State& state) {
    const QByteArray bytes = NoteFile::encode(qint32(state.range(0)), notes(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(NoteFile::decode(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The whole save as the program does it after every change, flush to disk included.
void saveToDisk(benchmark::State& state) {
    QTemporaryDir dir;
    QList<NoteRecord> records = notes(int(state.range(0)));
    const QString path = dir.filePath("Pinora.dat");
    for (auto _ : state) {
        qint32 count = qint32(state.range(0));
        if (NoteFileIO(count, path, true, records) != -1)
            state.SkipWithError("save failed");
    }
}

} // namespace

BENCHMARK(encode)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(decode)->Arg(100)->Arg(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(saveToDisk)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

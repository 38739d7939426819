// Arbitrary bytes as a data file: decoding must never crash, never give more notes
// than the bytes can hold whole, and whatever decodes must encode to a file that
// decodes to the same notes.
#include "store/NoteFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<NoteFile::Contents> contents = NoteFile::decode(bytes);
    if (!contents)
        return 0;
    if (contents->count > (bytes.size() - 4) / NoteFile::kMinRecordSize)
        std::abort();
    const QByteArray again = NoteFile::encode(contents->count, contents->records);
    const std::optional<NoteFile::Contents> back = NoteFile::decode(again);
    if (!back || back->count != contents->count || back->records != contents->records)
        std::abort();
    return 0;
}

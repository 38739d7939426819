#pragma once

#include <QByteArray>
#include <QString>

namespace SafeFile {

// Replaces the file at path with contents so that, whatever happens midway (a
// crash, a full disk, a power cut), the path holds either the old file whole or
// the new one whole: the new bytes go to a file beside it, are flushed to the
// disk, and only then renamed over the old one. Returns false on any failure, in
// which case the old file is untouched.
bool write(const QString& path, const QByteArray& contents);

} // namespace SafeFile

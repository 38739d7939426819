#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace SafeFile {

// Replaces the file at path with contents so that, whatever happens midway (a
// crash, a full disk, a power cut), the path holds either the old file whole or
// the new one whole: the new bytes go to a file beside it named
// "<name>.saving-XXXXXX", are flushed to the disk, and only then renamed over the
// old one. A symbolic link is written through to its target, and the old file's
// permissions are kept. Returns false on any failure, in which case the old file
// is untouched and no temporary file is left.
bool write(const QString& path, const QByteArray& contents);

// The files that a write to path left behind when the process was killed before
// its rename: regular files beside path named exactly as write names them.
QStringList leftovers(const QString& path);

// Deletes those leftovers. Only for a process that knows no other one is writing
// path at the same time. Returns the paths it removed.
QStringList removeLeftovers(const QString& path);

// The same for every file in the directory whose name begins with prefix (the
// copies kept aside, the daily copies).
QStringList removeLeftoversOfFamily(const QString& directory, const QString& prefix);

} // namespace SafeFile

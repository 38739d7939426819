#pragma once

#include <QString>

// The directory that holds every file of the program, with exactly one trailing "/".
namespace AppDir {

struct Choice {
    QString dir;
    // Set when this start copied the notes from the executable's directory into
    // dir: that directory, with its trailing "/". The user is told once.
    QString notesCopiedFrom;
    // Why the executable's directory is not used.
    enum class Reason { None, InstalledCopy, NotWritable } reason = Reason::None;
};

// An executable installed with its share folder (/usr/bin beside /usr/share/pinora):
// its directory belongs to the system, even for root.
bool IsInstalledCopy(const QString& executableDir);

// The directory of the executable, or, for an installed copy or when files cannot
// be created there (a read-only medium), $XDG_DATA_HOME/pinora/ (by default
// ~/.local/share/pinora/), made when missing. Notes left in the executable's
// directory are carried over into the fallback once (CarryOverNotes).
Choice ResolveAppDir(const QString& executableDir);

// When toDir has no data file yet and fromDir has one, copies the data file, the
// settings and the peel log from fromDir into toDir, leaving fromDir untouched;
// the copied settings no longer claim a running copy. Files toDir already has are
// kept. True when the data file was copied.
bool CarryOverNotes(const QString& fromDir, const QString& toDir);

// ResolveAppDir for the executable's directory, worked out once and kept for the
// process.
const Choice& GetAppDirChoice();
QString GetAppDir();

// Tests point the program at a directory of their own before anything asks.
void SetAppDirForTesting(const QString& dir);

} // namespace AppDir

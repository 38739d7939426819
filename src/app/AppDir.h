#pragma once

#include <QString>

// The directory that holds every file of the program, with exactly one trailing "/".
namespace AppDir {

// The directory of the executable, or, when files cannot be created there (an
// installed copy), $XDG_DATA_HOME/pinora/ (by default ~/.local/share/pinora/),
// made when missing. Works the answer out once and keeps it for the process.
QString GetAppDir();

// The rule itself, for a given executable directory.
QString ResolveAppDir(const QString& executableDir);

// Tests point the program at a directory of their own before anything asks.
void SetAppDirForTesting(const QString& dir);

} // namespace AppDir

#pragma once

#include <QByteArray>
#include <QString>

// Starting with the desktop: an XDG autostart entry, which every Linux desktop runs
// at log-in, named as the program calls itself.
namespace StartupEntry {

inline const QString kFileName = QStringLiteral("ピノラ.desktop");

// $XDG_CONFIG_HOME/autostart, by default ~/.config/autostart.
QString autostartDir();

// The entry that starts the executable, path quoted as the desktop entry rules
// want it.
QByteArray desktopEntry(const QString& executable);

enum class Result { Created, AlreadyThere, Failed };

// Creates the entry for target in the autostart folder, unless a file of that name
// is already there (it is left as it is). error says why it failed.
Result CreateStartupShortcut(const QString& target, const QString& name, QString* error = nullptr);

// The entry of that name in the autostart folder.
QString entryPath(const QString& name);

enum class Removal { Removed, NotThere, Failed };

// Deletes the entry of that name (a file or a link) when there is one.
Removal RemoveStartupShortcut(const QString& name);

} // namespace StartupEntry

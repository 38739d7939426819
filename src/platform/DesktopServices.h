#pragma once

#include <QList>
#include <QStringList>

// Opens the file with the desktop's default application for its type (the help
// page in a browser, the peel log in a text editor). Does not wait for it; false
// when no application could be started.
bool OpenWithDesktop(const QString& path);

// Starts the first of the commands (a program and its arguments) whose program is
// on PATH, without waiting for it. False when none could be started.
bool StartFirstProgramFound(const QList<QStringList>& commands);

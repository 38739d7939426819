#pragma once

#include <QList>
#include <QStringList>

#include <functional>

// Opens the file with the desktop's default application for its type (the peel log
// in a text editor) and tells done whether that worked, as the desktop's launcher
// reports it by its exit status; a launcher still running after timeoutMs waits for
// the application it started, which counts as opened. Never blocks; done is called
// once, on the event loop. Without the launcher on PATH, the toolkit's own way.
void OpenWithDesktop(const QString& path, std::function<void(bool opened)> done, int timeoutMs = 5000);

// Starts the first of the commands (a program and its arguments) whose program is
// on PATH, without waiting for it. False when none could be started.
bool StartFirstProgramFound(const QList<QStringList>& commands);

#pragma once

class QString;

// Opens the file with the desktop's default application for its type (the help
// page in a browser, the peel log in a text editor). Does not wait for it; false
// when no application could be started.
bool OpenWithDesktop(const QString& path);

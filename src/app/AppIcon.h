#pragma once

#include <QIcon>

// The program's icon, a yellow sticky note with a red pin, for the tray and the
// status window. Needs a QGuiApplication.
QIcon PinoraIcon();
// The same at the few sizes a window's own icon is drawn at, for every window.
QIcon PinoraWindowIcon();

#pragma once

#include <QIcon>

// The program's icon, a yellow sticky note with a red pin, for the tray, the status
// window and the program's windows. Needs a QGuiApplication.
QIcon PinoraIcon();

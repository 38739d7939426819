#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

// Notes are placed by the program, which Wayland does not let a client do; the X
// server of the Wayland session (XWayland) does. Returns the Qt platform to ask
// for in this environment, or nothing to leave Qt's own choice, which includes a
// platform the user chose.
QByteArray PreferredPlatform(const QProcessEnvironment& environment);

#include "app/PlatformChoice.h"

QByteArray PreferredPlatform(const QProcessEnvironment& environment) {
    if (!environment.value(QStringLiteral("QT_QPA_PLATFORM")).isEmpty())
        return {};
    const bool wayland = environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
                         !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    if (wayland && !environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return "xcb";
    return {};
}

#include "platform/DesktopServices.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

bool OpenWithDesktop(const QString& path) {
    if (path.isEmpty())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QStringList>

// The windows of an X server as a test sees them from outside, through xdotool and
// xwininfo; env points at another display when given.
namespace X11Windows {

inline QString run(const QString& program, const QStringList& arguments, const QProcessEnvironment& env = {}) {
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, arguments);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString xdotool(const QStringList& arguments, const QProcessEnvironment& env = {}) {
    return run(QStringLiteral("xdotool"), arguments, env);
}

// Where the window's own area is on the screen; a window manager's frame is not part of it.
inline QRect geometry(const QString& id, const QProcessEnvironment& env = {}) {
    QRect r;
    for (const QString& line : run(QStringLiteral("xwininfo"), {"-id", id}, env).split('\n')) {
        const int value = line.section(':', 1).trimmed().toInt();
        if (line.contains("Absolute upper-left X:"))
            r.moveLeft(value);
        else if (line.contains("Absolute upper-left Y:"))
            r.moveTop(value);
        else if (line.trimmed().startsWith("Width:"))
            r.setWidth(value);
        else if (line.trimmed().startsWith("Height:"))
            r.setHeight(value);
    }
    return r;
}

// The visible windows that an xdotool search finds, e.g. {"--class", "Pinora"}.
inline QStringList search(const QStringList& criteria, const QProcessEnvironment& env = {}) {
    return xdotool(QStringList{"search", "--onlyvisible"} + criteria, env).split('\n', Qt::SkipEmptyParts);
}

// The stand-in for the tray and the tray icon are small; notes and dialogs are not.
inline bool isSmall(const QRect& r) {
    return r.width() > 4 && r.width() <= 60 && r.height() <= 60;
}

} // namespace X11Windows

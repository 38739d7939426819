#pragma once

#include <QFile>
#include <QList>

#include <unistd.h>

// What /proc says a process has used so far.
namespace ProcessUsage {

// User and system CPU time, in seconds.
inline double cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // After the command's closing parenthesis: state is field 0, utime 11, stime 12.
    const QList<QByteArray> fields = stat.readAll().split(')').value(1).trimmed().split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

// A memory line of /proc/PID/status ("VmRSS:", "VmHWM:"), in KiB; -1 when absent.
inline qint64 memoryKiB(qint64 pid, const char* key) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace ProcessUsage

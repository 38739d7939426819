#pragma once

#include "store/NoteFile.h"

#include "FileBytes.h"

#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <optional>

// The built program copied into a folder of its own with the notes and settings a
// test gives it, run in the test's X server and stopped as a log-out stops it.
struct PinoraCopy {
    QTemporaryDir dir;
    QProcess process;

    QString path(const QString& name) const { return dir.filePath(name); }
    bool start(const QByteArray& notes = {}, const QByteArray& settings = {}, const QProcessEnvironment& env = {}) {
        if (!QFile::exists(path("Pinora")) && !QFile::copy(QStringLiteral(PINORA_EXECUTABLE), path("Pinora")))
            return false;
        if ((!notes.isEmpty() && !writeBytes(path("Pinora.dat"), notes)) ||
            (!settings.isEmpty() && !writeBytes(path("Pinora.ini"), settings)))
            return false;
        if (!env.isEmpty())
            process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(path("Pinora"));
        return process.waitForStarted();
    }
    // SIGTERM; true when the program ended by itself, well.
    bool stop() {
        ::kill(pid_t(process.processId()), SIGTERM);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    std::optional<NoteFile::Contents> saved() const { return NoteFile::decode(readBytes(path("Pinora.dat"))); }
    // The first note's text, or nothing.
    QByteArray savedText() const {
        const std::optional<NoteFile::Contents> notes = saved();
        return notes && notes->count > 0 ? notes->records.at(0).textRtf : QByteArray();
    }
};

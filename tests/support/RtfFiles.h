#pragma once

#include "FileBytes.h"

#include <QByteArray>
#include <QDebug>
#include <QDir>
#include <QList>

// Every RTF document the tests read as real input: ours, and the shared fixtures
// written by other programs where they are beside this repository.
inline QList<QByteArray> rtfFiles() {
    QStringList dirs{QStringLiteral(PINORA_TEST_DATA "/rtf")};
    if (QDir(QStringLiteral(PINORA_SHARED_FIXTURES "/rtf")).exists())
        dirs << QStringLiteral(PINORA_SHARED_FIXTURES "/rtf");
    else
        qInfo("../shared/fixtures is not beside this repository: only this repository's RTF files are read");
    QList<QByteArray> documents;
    for (const QString& dir : dirs)
        for (const QString& name : QDir(dir).entryList({"*.rtf"}))
            documents << readBytes(dir + QLatin1Char('/') + name);
    return documents;
}

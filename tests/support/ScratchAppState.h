#pragma once

#include "note/AppState.h"

#include <QTemporaryDir>

// The program's state with a fresh temporary directory as its application
// directory, so that nothing a test saves can reach a real data file.
struct ScratchAppState : AppState {
    QTemporaryDir dir;

    explicit ScratchAppState(bool restoring = false) {
        appDir = dir.path() + QLatin1Char('/');
        loading = restoring;
    }
    QString filePath(const QString& name) const { return dir.filePath(name); }
};

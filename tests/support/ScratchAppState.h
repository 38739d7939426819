#pragma once

#include "note/AppState.h"

#include <QTemporaryDir>

// The program's state with a fresh temporary directory as its application
// directory, so that nothing a test saves can reach a real data file.
struct ScratchAppState : AppState {
    QTemporaryDir dir;

    explicit ScratchAppState(bool loading = false) {
        AppDir = dir.path() + QLatin1Char('/');
        Loading = loading;
    }
    QString filePath(const QString& name) const { return dir.filePath(name); }
};

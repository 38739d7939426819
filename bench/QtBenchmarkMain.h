#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Runs the registered benchmarks inside a QApplication, on the offscreen platform
// unless another one was asked for.
inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

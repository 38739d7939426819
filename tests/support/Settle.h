#pragma once

#include <QElapsedTimer>
#include <QTest>

// How long an end-to-end step may take before it counts as failed: generous, as a
// machine under load maps windows and delivers events many times slower than a
// quiet one. Waits end as soon as their condition holds.
constexpr int kSettle = 30000;

// Waits until what read() gives has stayed the same for quietMs (a window the window
// manager has finished placing, a tray icon embedded), at most kSettle; returns it.
template <typename Read>
auto steady(Read read, int quietMs = 500) {
    QElapsedTimer clock;
    clock.start();
    auto value = read();
    QElapsedTimer quiet;
    quiet.start();
    while (quiet.elapsed() < quietMs && clock.elapsed() < kSettle) {
        QTest::qWait(50);
        auto now = read();
        if (!(now == value)) {
            value = std::move(now);
            quiet.restart();
        }
    }
    return value;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Clocks, an idle wait and a bounded wait shared by the benchmarks that drive the real window.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <ctime>
#include <functional>

namespace halbeet::bench {

// CPU seconds used by this process so far.
inline double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Seconds on a clock that only goes forward.
inline double wallSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Lets the event loop run for ms milliseconds.
inline void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Lets the event loop run until condition() holds; false when timeoutMs passed first.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        idle(5);
    }
    return true;
}

} // namespace halbeet::bench

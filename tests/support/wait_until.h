// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Waiting in a test for something that the event loop brings about. QTest::qWaitFor sleeps
// 10 ms between its looks, longer than a whole step of a table that does not wait; this runs
// the event loop without sleeping and looks every millisecond.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace halbeet::testing {

// Runs the event loop until done() holds or ms have passed; returns done().
inline bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    look.setInterval(1);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > ms)
            loop.quit();
    });
    look.start();
    if (!done())
        loop.exec();
    return done();
}

} // namespace halbeet::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/motion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QList>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace halbeet {

namespace {

struct MotionState {
    bool busy = false;
    std::uint64_t generation = 0;
    double scale = 1.0;
    // Set once a wait saw the application leave its event loops; from then on no flow
    // may go on, not even with zero delays.
    bool quitting = false;
    std::uint64_t pauses = 0;
    QList<QEventLoop*> loops; // the waits in progress, innermost last
};

MotionState& motion()
{
    static MotionState state;
    return state;
}

} // namespace

bool applicationQuitting()
{
    MotionState& s = motion();
    if (!s.quitting && (QCoreApplication::instance() == nullptr || QCoreApplication::closingDown()))
        s.quitting = true;
    return s.quitting;
}

namespace {

// The one nested wait of the program: at least ms (scaled), and, when work is given, until the
// work has finished too. A computer player that thinks longer than the wait stretches it; one
// that is quicker never shortens it.
bool waitIn(int ms, const QFuture<void>* work)
{
    MotionState& s = motion();
    ++s.pauses;
    if (applicationQuitting())
        return false;
    const std::uint64_t generation = s.generation;
    const double scaled = std::max(0, ms) * s.scale;
    const int wait = static_cast<int>(std::lround(scaled));
    const bool working = work && !work->isFinished();
    if (wait <= 0 && !working)
        return true;
    if (wait <= 0 && s.scale == 0.0) {
        // Tests run without time: the answer is all they wait for.
        QFuture<void>(*work).waitForFinished();
        return true;
    }

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the pace of the game is in these waits.
    timer.setTimerType(Qt::PreciseTimer);
    bool timeUp = wait <= 0;
    bool done = false;
    const auto finishWhenReady = [&] {
        if (timeUp && (!work || work->isFinished())) {
            done = true;
            loop.quit();
        }
    };
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timeUp = true;
        finishWhenReady();
    });
    QFutureWatcher<void> watcher;
    if (work) {
        QObject::connect(&watcher, &QFutureWatcherBase::finished, &loop, finishWhenReady);
        watcher.setFuture(*work);
    }

    const bool previousBusy = s.busy;
    s.busy = true;
    s.loops.append(&loop);
    if (wait > 0)
        timer.start(wait);
    loop.exec();
    s.loops.removeOne(&loop);
    s.busy = previousBusy;

    if (s.generation != generation)
        return false;
    if (!done) {
        // Nobody but QCoreApplication::exit() ends this loop early (stopWaitingFlows moves
        // the generation on): the application is on its way out, and from now on exec()
        // returns at once, so every later wait would be a zero-delay race.
        s.quitting = true;
        return false;
    }
    return !applicationQuitting();
}

} // namespace

bool Pause(int ms) { return waitIn(ms, nullptr); }

bool PauseAtLeast(int ms, const QFuture<void>& work) { return waitIn(ms, &work); }

bool PauseBusy() { return motion().busy; }

std::uint64_t pauseCount() { return motion().pauses; }

void stopWaitingFlows()
{
    MotionState& s = motion();
    ++s.generation;
    // Outer loops can only return once the inner ones have; quitting them all lets the
    // whole stack unwind as soon as control comes back to each of them.
    for (QEventLoop* loop : std::as_const(s.loops))
        loop->quit();
}

void endAllFlows()
{
    motion().quitting = true;
    stopWaitingFlows();
}

std::uint64_t flowGeneration() { return motion().generation; }

void setTimeScale(double scale) { motion().scale = std::max(0.0, scale); }

double timeScale() { return motion().scale; }

int ComputeGlideStep(int windowHeight)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 t0 = clock.elapsed();
    const qint64 t1 = clock.elapsed();
    const int n = static_cast<int>(std::clamp<qint64>(12 - (t1 - t0), 1, 12));
    const int step = windowHeight / n;
    // A step of zero or less would never arrive anywhere.
    return step > 0 ? step : 2;
}

} // namespace halbeet

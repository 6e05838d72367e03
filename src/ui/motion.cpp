#include "ui/motion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
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

bool Pause(int ms)
{
    MotionState& s = motion();
    ++s.pauses;
    if (applicationQuitting())
        return false;
    const std::uint64_t generation = s.generation;
    const double scaled = std::max(0, ms) * s.scale;
    const int wait = static_cast<int>(std::lround(scaled));
    if (wait <= 0)
        return true;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the pace of the game is in these waits.
    timer.setTimerType(Qt::PreciseTimer);
    bool fired = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&fired, &loop] {
        fired = true;
        loop.quit();
    });

    const bool previousBusy = s.busy;
    s.busy = true;
    s.loops.append(&loop);
    timer.start(wait);
    loop.exec();
    s.loops.removeOne(&loop);
    s.busy = previousBusy;

    if (s.generation != generation)
        return false;
    if (!fired) {
        // Nobody but QCoreApplication::exit() ends this loop early (stopWaitingFlows moves
        // the generation on): the application is on its way out, and from now on exec()
        // returns at once, so every later wait would be a zero-delay race.
        s.quitting = true;
        return false;
    }
    return !applicationQuitting();
}

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

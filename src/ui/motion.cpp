// SPDX-License-Identifier: GPL-3.0-or-later
// The motion clock: glide cycles, the time scale, the glide step, and whether the program ends.
#include "ui/motion.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>

namespace halbeet {

namespace {

struct MotionState {
    double scale = 1.0;
    bool quitting = false;
    std::uint64_t cycles = 0;
};

MotionState& motion()
{
    static MotionState state;
    return state;
}

} // namespace

std::uint64_t glideCycleCount() { return motion().cycles; }

void countGlideCycle() { ++motion().cycles; }

bool applicationQuitting()
{
    MotionState& s = motion();
    if (!s.quitting && (QCoreApplication::instance() == nullptr || QCoreApplication::closingDown()))
        s.quitting = true;
    return s.quitting;
}

void markApplicationQuitting() { motion().quitting = true; }

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

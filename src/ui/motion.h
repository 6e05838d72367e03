// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The clock of the table's motion: the length of a glide cycle, the time scale every wait and
// glide of the window is multiplied by, and the glide step.

#include <cstdint>

namespace halbeet {

// A gliding card moves one step per cycle.
inline constexpr int GlideCycleMs = 5;

// How many glide cycles have run in this run (the cost of a glide is counted in them).
std::uint64_t glideCycleCount();
void countGlideCycle();

// True once the application has started to quit: nothing of the game moves any more.
bool applicationQuitting();
// The program is ending (a confirmed close, a signal).
void markApplicationQuitting();

// 1.0 = real time, 0 = no waiting at all (tests). Only code sets it, never the environment.
void setTimeScale(double scale);
double timeScale();

// The glide step from the main window's outer height, read once at window creation.
int ComputeGlideStep(int windowHeight);

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Waiting without blocking: the flow waits in a nested event loop, so the window keeps
// painting and menu commands keep working while cards are on their way.

#include <QFuture>

#include <cstdint>

namespace halbeet {

// Waits ms milliseconds (scaled by the time scale) in a nested event loop, never spinning
// the CPU. Returns false when the waiting flow must stop: stopWaitingFlows() was called
// during the wait (a new game, a new deal, a confirmed close) or the application is
// quitting. PauseBusy() is true while it waits.
bool Pause(int ms);
bool PauseBusy();
// Pause(ms), stretched for as long as work (a computer player thinking on another thread)
// is still running; the window paints and menu commands run all the while.
bool PauseAtLeast(int ms, const QFuture<void>& work);

// Every wait in progress, and every glide, returns false from now on; later waits are normal.
void stopWaitingFlows();
// The program is ending (a confirmed close): every wait returns false, now and from now on.
void endAllFlows();
// Advanced by stopWaitingFlows(): a flow that remembers it can tell it was abandoned.
std::uint64_t flowGeneration();
// True once the application has started to quit (a wait saw its event loop ended under it,
// or the application is closing down); every wait returns false from then on.
bool applicationQuitting();

// How many times Pause has been called in this run; a glide calls it once per cycle.
std::uint64_t pauseCount();

// 1.0 = real time, 0 = no waiting at all (tests). Only code sets it, never the environment.
void setTimeScale(double scale);
double timeScale();

// The glide step from the main window's outer height, read once at window creation.
int ComputeGlideStep(int windowHeight);

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh deal laid out in the desktop's rhythm: which card shows when, and the clock that
// shows them.

import type { StepKind } from './api';
import type { Place } from './layout';

// The desktop shows one card per repaint, with no pause of its own: a frame is its beat.
export const DealFrameMs = 1000 / 60;

// One card to show: the bottom seat's fan slot, another seat's back, or the dealer's turned
// card, which takes the place of that seat's thirteenth back.
export interface Reveal {
  place: Place;
  slot: number;
  turned: boolean;
  at: number;
}

export interface DealPlan {
  reveals: Reveal[];
  ms: number;
}

// Round by round, the bottom seat first, then right, top and left; the bottom seat's last card
// comes alone, then the other three last cards together, so the turned card closes the deal.
export function dealPlan(dealerPlace: Place, frameMs = DealFrameMs): DealPlan {
  const reveals: Reveal[] = [];
  let beat = 0;
  for (let slot = 1; slot <= 12; ++slot) {
    for (const place of [1, 2, 3, 4] as Place[])
      reveals.push({ place, slot, turned: false, at: beat++ * frameMs });
  }
  reveals.push({ place: 1, slot: 13, turned: false, at: beat++ * frameMs });
  const last = beat * frameMs;
  for (const place of [2, 3, 4] as Place[])
    reveals.push({ place, slot: 13, turned: place === dealerPlace, at: last });
  return { reveals, ms: last };
}

// Only a deal dealt in front of the player is shown card by card; a table joined or come back
// to is laid out as it stands, and so is everything for a player who asks for no motion.
export function dealsInRhythm(kind: StepKind, reducedMotion: boolean): boolean {
  return kind === 'DealStarted' && !reducedMotion;
}

export interface DealClock {
  now(): number;
  wait(ms: number): Promise<void>;
}

// Shows the plan's cards as the clock reaches them. A late clock (a page in the background
// is woken seldom) shows at once all that is due, so the deal never ends later than its
// time plus one wake. Resolves true once the last card is shown, false when given up.
export async function dealInRhythm(plan: DealPlan, show: (r: Reveal) => void, clock: DealClock,
  live: () => boolean): Promise<boolean> {
  const start = clock.now();
  let next = 0;
  while (next < plan.reveals.length) {
    if (!live())
      return false;
    const elapsed = clock.now() - start;
    while (next < plan.reveals.length && plan.reveals[next]!.at <= elapsed)
      show(plan.reveals[next++]!);
    if (next < plan.reveals.length)
      await clock.wait(plan.reveals[next]!.at - elapsed);
  }
  return true;
}

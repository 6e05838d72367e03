// SPDX-License-Identifier: GPL-3.0-or-later
// A fresh deal shown card by card: its order and beat, which steps deal, and the clock.

import { describe, expect, it } from 'vitest';
import { STEP_KINDS } from '../model';
import { dealerSeat } from './api';
import { DealFrameMs, dealInRhythm, dealPlan, dealsInRhythm, type DealClock, type Reveal } from './dealing';
import { placeOf, type Place } from './layout';

const key = (r: Reveal) => `${r.place}:${r.slot}${r.turned ? ':turned' : ''}`;

describe('the order and beat of a fresh deal', () => {
  // [this page's seat, the dealer counter, where the turned card lies (0: in the own fan)]
  const cases: [number, number, Place | 0][] = [
    [1, 1, 0], [1, 2, 2], [1, 3, 3], [1, 0, 4],
    [2, 1, 4], [2, 2, 0], [2, 3, 2], [2, 0, 3],
    [3, 1, 3], [3, 2, 4], [3, 3, 0], [3, 0, 2],
    [4, 1, 2], [4, 2, 3], [4, 3, 4], [4, 0, 0],
  ];
  it.each(cases)('seen from seat %i with dealer counter %i, the turned card lies at place %i',
    (me, counter, turnedAt) => {
      const dealerPlace = placeOf(me, dealerSeat(counter));
      const plan = dealPlan(dealerPlace);
      // Every card of the four hands exactly once, the own fan's first card first.
      expect(plan.reveals).toHaveLength(52);
      expect(new Set(plan.reveals.map((r) => `${r.place}:${r.slot}`)).size).toBe(52);
      expect(plan.reveals[0]).toEqual({ place: 1, slot: 1, turned: false, at: 0 });
      const turned = plan.reveals.filter((r) => r.turned);
      if (turnedAt === 0) {
        expect(turned).toEqual([]);
      } else {
        expect(turned).toEqual([{ place: turnedAt, slot: 13, turned: true, at: plan.ms }]);
      }
    });

  it('deals round by round, bottom, right, top, left, one card a frame', () => {
    const plan = dealPlan(3, 10);
    const rounds = plan.reveals.slice(0, 48);
    rounds.forEach((r, i) => {
      expect(r.slot).toBe(Math.floor(i / 4) + 1);
      expect(r.place).toBe((i % 4) + 1);
      expect(r.at).toBe(i * 10);
    });
  });

  it('ends with the own last card alone, then the three last cards together, the turned one among them', () => {
    const plan = dealPlan(4, 10);
    expect(plan.reveals.slice(48).map((r) => [key(r), r.at])).toEqual([
      ['1:13', 480], ['2:13', 490], ['3:13', 490], ['4:13:turned', 490],
    ]);
    expect(plan.ms).toBe(490);
    expect(Math.max(...plan.reveals.map((r) => r.at))).toBe(plan.ms);
  });

  it('takes its time at the page\'s frame rate', () => {
    expect(dealPlan(1).ms).toBeCloseTo(49 * DealFrameMs);
  });
});

describe('which steps deal card by card', () => {
  it.each(STEP_KINDS.map((k) => [k]))('%s', (kind) => {
    expect(dealsInRhythm(kind, false)).toBe(kind === 'DealStarted');
    expect(dealsInRhythm(kind, true)).toBe(false);
  });
});

// A clock moved by hand: each wait records itself and resolves when advanced past.
class HandClock implements DealClock {
  t = 0;
  waits: number[] = [];
  private pending: { until: number; done: () => void }[] = [];
  lateBy = 0;
  now(): number { return this.t; }
  wait(ms: number): Promise<void> {
    this.waits.push(ms);
    return new Promise((done) => this.pending.push({ until: this.t + ms + this.lateBy, done }));
  }
  async advanceTo(t: number): Promise<void> {
    this.t = t;
    for (const p of this.pending.filter((q) => q.until <= t)) {
      this.pending.splice(this.pending.indexOf(p), 1);
      p.done();
    }
    for (let i = 0; i < 5; ++i)
      await Promise.resolve();
  }
}

describe('showing the deal against the clock', () => {
  const plan = dealPlan(2, 10);

  it('shows each card on its beat and finishes only after the last one', async () => {
    const clock = new HandClock();
    const shown: [string, number][] = [];
    let finished: boolean | null = null;
    void dealInRhythm(plan, (r) => shown.push([key(r), clock.now()]), clock, () => true)
      .then((ok) => { finished = ok; });
    for (let t = 0; t < plan.ms; t += 10) {
      await clock.advanceTo(t);
      expect(finished).toBeNull();
    }
    expect(shown).toHaveLength(49);
    await clock.advanceTo(plan.ms);
    expect(finished).toBe(true);
    expect(shown).toEqual(plan.reveals.map((r) => [key(r), r.at]));
  });

  it('shows all that is due at once when woken late', async () => {
    const clock = new HandClock();
    clock.lateBy = 200;
    const shown: number[] = [];
    let finished = false;
    void dealInRhythm(plan, (r) => shown.push(clock.now()), clock, () => true).then(() => { finished = true; });
    await clock.advanceTo(210);
    expect(shown.filter((t) => t === 210)).toHaveLength(21); // the cards due from 10 to 210 ms
    await clock.advanceTo(1000);
    expect(shown).toHaveLength(52);
    expect(finished).toBe(true);
    expect(clock.waits.length).toBeLessThan(5);
  });

  it('stops showing once given up, and says so', async () => {
    const clock = new HandClock();
    let live = true;
    let shownCount = 0;
    let finished: boolean | null = null;
    void dealInRhythm(plan, () => { ++shownCount; }, clock, () => live).then((ok) => { finished = ok; });
    await clock.advanceTo(50);
    const before = shownCount;
    live = false;
    await clock.advanceTo(1000);
    expect(shownCount).toBe(before);
    expect(finished).toBe(false);
  });
});

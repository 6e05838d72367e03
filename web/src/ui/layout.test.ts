// SPDX-License-Identifier: GPL-3.0-or-later
// The table's geometry and motion: who sits where, where the trick's cards lie, the fan of
// the hand, which backs leave, the glide's path and time, the sweep, and card clicks.

import { describe, expect, it } from 'vitest';
import type { Card, PlayedCard, TableView } from './api';
import {
  GlideCycleMs, GlideStep, TableHeight, TableWidth, backSlots, cardClick, currentTrick, elementId, glidePath,
  handSlots, lastFullTrick, nextIndex, placeOf, seatAt, sweepPlan, trickHome, type Place,
} from './layout';

describe('places at the table', () => {
  // [this page's seat, a seat, its place: 1 bottom, 2 right, 3 top, 4 left]
  const cases: [number, number, Place][] = [
    [1, 1, 1], [1, 2, 2], [1, 3, 3], [1, 4, 4],
    [2, 2, 1], [2, 3, 2], [2, 4, 3], [2, 1, 4],
    [3, 3, 1], [3, 4, 2], [3, 1, 3], [3, 2, 4],
    [4, 4, 1], [4, 1, 2], [4, 2, 3], [4, 3, 4],
  ];
  it.each(cases)('seen from seat %i, seat %i sits at place %i', (me, seat, place) => {
    expect(placeOf(me, seat)).toBe(place);
    expect(seatAt(me, place)).toBe(seat);
  });

  it('puts the partner across and the next in turn on the right, for every chair', () => {
    for (let me = 1; me <= 4; ++me) {
      expect(placeOf(me, ((me + 1) % 4) + 1)).toBe(3);
      expect(placeOf(me, (me % 4) + 1)).toBe(2);
    }
  });
});

describe('the trick', () => {
  const p = (suit: number, rank: number, seat: number): PlayedCard => [suit, rank, seat];
  const eight = [p(1, 2, 1), p(1, 5, 2), p(1, 9, 3), p(1, 1, 4), p(2, 3, 4), p(2, 4, 1), p(2, 13, 2), p(3, 7, 3)];

  it.each([
    ['no card yet', [], [], []],
    ['a trick under way', eight.slice(0, 3), [], eight.slice(0, 3)],
    ['a complete trick not yet taken', eight.slice(0, 4), [], eight.slice(0, 4)],
    ['nothing once it is taken', eight.slice(0, 4), [4], []],
    ['the next trick under way', eight.slice(0, 6), [4], eight.slice(4, 6)],
  ] as [string, PlayedCard[], number[], PlayedCard[]][])('shows %s', (_, plays, takers, shown) => {
    expect(currentTrick(plays, takers)).toEqual(shown);
  });

  it('keeps the last complete trick for the last-trick window', () => {
    expect(lastFullTrick(eight.slice(0, 3))).toEqual([]);
    expect(lastFullTrick(eight.slice(0, 6))).toEqual(eight.slice(0, 4));
    expect(lastFullTrick(eight)).toEqual(eight.slice(4, 8));
  });

  it('gives each place its own spot in the middle of the table', () => {
    const spots = ([1, 2, 3, 4] as Place[]).map(trickHome);
    expect(new Set(spots.map((s) => `${s.x},${s.y}`)).size).toBe(4);
    // The bottom card lies lowest, the top one highest, the left one leftmost, the right one rightmost.
    expect(spots[0]!.y).toBeGreaterThan(spots[2]!.y);
    expect(spots[3]!.x).toBeLessThan(spots[1]!.x);
  });
});

describe('the fan of the hand', () => {
  const dealt: Card[] = [[1, 2], [1, 9], [2, 4], [3, 12], [4, 1]];
  it.each([
    ['every card in its dealt place', dealt, [1, 2, 3, 4, 5]],
    ['a gap where a card was played', [dealt[0]!, dealt[2]!, dealt[4]!], [1, 3, 5]],
    ['the cards closed up when shown in another order than dealt', [dealt[2]!, dealt[0]!], [1, 2]],
    ['the cards closed up when one was not dealt to this hand', [[2, 2], dealt[1]!], [1, 2]],
    ['nothing for an empty hand', [], []],
  ] as [string, Card[], number[]][])('keeps %s', (_, hand, slots) => {
    expect(handSlots(hand, dealt)).toEqual(slots);
  });

  it.each([
    [0, 5, 'ArrowRight', 1], [4, 5, 'ArrowRight', 4], [3, 5, 'ArrowLeft', 2], [0, 5, 'ArrowLeft', 0],
    [2, 5, 'Home', 0], [2, 5, 'End', 4], [2, 5, 'ArrowDown', 3], [2, 5, 'ArrowUp', 1], [2, 5, 'x', 2],
    [0, 0, 'ArrowRight', -1],
  ])('moves from card %i of %i with %s to %i', (from, count, key, to) => {
    expect(nextIndex(from, count, key)).toBe(to);
  });
});

describe('the backs of the other hands', () => {
  const cut: Card = [3, 5];
  it('takes one back away for each card a seat plays, always from its own row', () => {
    const plays: PlayedCard[] = [[1, 2, 2], [1, 3, 3], [1, 4, 4], [1, 5, 1], [2, 2, 2]];
    expect(backSlots(2, 4, plays, 0, cut)).toHaveLength(11);
    expect(backSlots(3, 4, plays, 0, cut)).toHaveLength(12);
    expect(backSlots(1, 4, plays, 0, cut)).toHaveLength(12);
  });

  it('is the same draw every time, so a table drawn again shows the same gaps', () => {
    const plays: PlayedCard[] = [[1, 2, 2], [1, 3, 2], [1, 4, 2]];
    expect(backSlots(2, 4, plays, 0, cut)).toEqual(backSlots(2, 4, plays, 0, cut));
  });

  it("keeps the dealer's thirteenth back for his turned card until that card is played", () => {
    const before: PlayedCard[] = [];
    for (let r = 1; r <= 12; ++r)
      before.push([1, r, 4]);
    expect(backSlots(4, 4, before, 0, cut)).toEqual([13]);
    expect(backSlots(4, 4, [[3, 5, 4]], 0, cut)).toEqual([1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]);
  });
});

describe('a glide', () => {
  it.each([
    ['straight across', { x: 0, y: 0 }, { x: 190, y: 0 }, 5],
    ['a diagonal', { x: 0, y: 0 }, { x: 76, y: 76 }, 2],
    ['less than a step', { x: 10, y: 10 }, { x: 20, y: 15 }, 1],
    ['backwards', { x: 300, y: 200 }, { x: 0, y: 200 }, Math.ceil(300 / GlideStep)],
  ])('takes one cycle per step: %s', (_, from, to, cycles) => {
    const path = glidePath(from, to);
    expect(path.ms).toBe(cycles * GlideCycleMs);
    expect(path.points[0]!.at).toEqual(from);
    expect(path.points[path.points.length - 1]!.at).toEqual(to);
  });

  it('moves both ways at once, then goes on straight once the shorter way has arrived', () => {
    const path = glidePath({ x: 0, y: 0 }, { x: 4 * GlideStep, y: 30 });
    expect(path.points.map((p) => p.offset)).toEqual([0, 0.25, 1]);
    expect(path.points[1]!.at).toEqual({ x: GlideStep, y: 30 });
  });

  it('takes no time when the card is there already', () => {
    expect(glidePath({ x: 5, y: 5 }, { x: 5, y: 5 }).ms).toBe(0);
  });
});

describe('the sweep of a taken trick', () => {
  const from = { x: 240, y: 150 };
  it.each([
    [1, [1, 2, 4, 3], { x: 240, y: TableHeight }],
    [2, [2, 3, 1, 4], { x: TableWidth, y: 150 }],
    [3, [3, 2, 4, 1], { x: 240, y: 0 }],
    [4, [4, 3, 1, 2], { x: 0, y: 150 }],
  ] as [Place, Place[], { x: number; y: number }][])('to place %i: its own card first, out by its edge', (taker, order, edge) => {
    const plan = sweepPlan(taker);
    expect(plan.order).toEqual(order);
    expect(plan.edge(from)).toEqual(edge);
  });
});

describe('a click on a card of the hand', () => {
  const hearts: Card[] = [[3, 2], [3, 12]];
  const view = (over: Partial<TableView>): Pick<TableView, 'seat' | 'phase' | 'toAct' | 'legalCards'> =>
    ({ seat: 2, phase: 'playing', toAct: 2, legalCards: hearts, ...over });
  it.each([
    ['plays a card that follows suit', view({}), [3, 12], false, 'play'],
    ['refuses a card that does not follow suit', view({}), [2, 5], false, 'refuse'],
    ['does nothing on another seat\'s turn', view({ toAct: 3 }), [3, 12], false, 'ignore'],
    ['does nothing while bidding', view({ phase: 'bidding' }), [3, 12], false, 'ignore'],
    ['does nothing before the seat is asked', view({ legalCards: [] }), [3, 12], false, 'ignore'],
    ['does nothing while its card is on the way', view({}), [3, 12], true, 'ignore'],
    ['does nothing before the first view', null, [3, 12], false, 'ignore'],
  ] as [string, ReturnType<typeof view> | null, Card, boolean, string][])('%s', (_, v, card, busy, result) => {
    expect(cardClick(v, card, busy)).toBe(result);
  });
});

describe('the deck picture ids', () => {
  it.each([
    [[1, 1], '1_club'], [[2, 10], '10_spade'], [[3, 12], 'queen_heart'], [[4, 11], 'jack_diamond'],
    [[1, 13], 'king_club'], [[0, 0], ''], [[5, 1], ''], [[1, 14], ''],
  ] as [Card, string][])('names %j %s', (card, id) => {
    expect(elementId(card)).toBe(id);
  });
});

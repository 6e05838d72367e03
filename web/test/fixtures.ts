// SPDX-License-Identifier: GPL-3.0-or-later
// Small messages for the page's tests: a seat's whole view as the server writes it, and steps.

export type Json = Record<string, unknown>;

// Seat 1 at the start of play: five cards, one trick taken, one card of the next on the table.
export function wholeView(overrides: Json = {}): Json {
  return {
    seat: 1, phase: 'playing', toAct: 1, dealerCounter: 1, trump: 3, cut: [4, 12],
    hand: [[1, 7], [2, 2], [2, 13], [3, 11], [4, 5]],
    dealt: [[1, 7], [3, 7], [2, 2], [2, 13], [3, 11], [4, 5]],
    bids: [3, 4, 2, 5], bidMade: [true, true, true, true], scores: [10, -4, 0, 22],
    plays: [[3, 7, 2], [3, 1, 3], [3, 9, 4], [3, 2, 1], [2, 5, 3]],
    takers: [3], handCounts: [5, 5, 4, 5],
    scoreRows: [[4, -4, 2, 12], [10, -4, 0, 22]],
    passed: false, scored: false, winner: 0, deals: 7,
    ...overrides,
  };
}

export function event(serial: number, kind: string, view: { view: Json } | { change: Json }, extra: Json = {}): string {
  return JSON.stringify({ type: 'event', serial, kind, ...extra, ...view });
}

export const snapshot = (serial: number, overrides: Json = {}) =>
  event(serial, 'Snapshot', { view: wholeView(overrides) });

export const TOKEN = '0123456789abcdef0123456789abcdef';
export const CODE = 'K7QM2P';

export function welcome(overrides: Json = {}): string {
  return JSON.stringify({
    type: 'welcome', version: 1, seat: 1, table: CODE, token: TOKEN,
    names: ['Ann', 'سلمى', '', 'Expert'], chairs: ['person', 'person', 'open', 'computer'], started: true,
    ...overrides,
  });
}

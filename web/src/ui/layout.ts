// SPDX-License-Identifier: GPL-3.0-or-later
// Where everything lies on the table and how it moves there, in the table's own 560 x 394
// units: pure functions, so the page and its tests share one answer.

import type { Card, PlayedCard, TableView } from './api';

export const TableWidth = 560;
export const TableHeight = 394;
export const HandSize = { w: 71, h: 96 } as const;
export const TrickSize = { w: 68, h: 96 } as const;
export const MarkerSize = { w: 39, h: 57 } as const;
export const BidBoxSize = { w: 25, h: 17 } as const;
export const HandTop = 288;
// Where the follow-suit warning shows, and its size.
export const WarningBox = { x: 376, y: 232, w: 41, h: 41 } as const;

// A place on the table as the desktop numbers them: 1 the player at the bottom, 2 the
// opponent on the right, 3 the partner across, 4 the opponent on the left.
export type Place = 1 | 2 | 3 | 4;
export interface Point { x: number; y: number; }

// The table is laid out the same in both languages (only its texts read right to left),
// so the place of a chair depends on nothing but who looks at it.
export function placeOf(me: number, seat: number): Place {
  return ((((seat - me) % 4) + 4) % 4 + 1) as Place;
}

export function seatAt(me: number, place: Place): number {
  return ((me - 1 + place - 1) % 4) + 1;
}

export function placeName(place: Place): 'bottom' | 'right' | 'top' | 'left' {
  return (['bottom', 'right', 'top', 'left'] as const)[place - 1]!;
}

// The k-th card (1..13) of a hand.
export function handHome(place: Place, k: number): Point {
  const step = 16 * (k - 1);
  switch (place) {
    case 1: return { x: 144 + step, y: HandTop };
    case 2: return { x: 464, y: 224 - step };
    case 3: return { x: 336 - step, y: 8 };
    case 4: return { x: 24, y: 40 + step };
  }
}

// The n-th won-trick marker (1..13).
export function markerHome(place: Place, n: number): Point {
  const step = 16 * (n - 1);
  switch (place) {
    case 1: return { x: 344 - step, y: 280 };
    case 2: return { x: 448, y: 56 + step };
    case 3: return { x: 344 - step, y: 56 };
    case 4: return { x: 72, y: 56 + step };
  }
}

export function trickHome(place: Place): Point {
  switch (place) {
    case 1: return { x: 237, y: 176 };
    case 2: return { x: 272, y: 160 };
    case 3: return { x: 245, y: 120 };
    case 4: return { x: 208, y: 144 };
  }
}

// Where a seat's turned card lies until the bids are made (the bottom seat's stays in hand).
export function cutHome(place: Place): Point {
  switch (place) {
    case 1: return { x: 144, y: HandTop - 16 };
    case 2: return { x: 448, y: 32 };
    case 3: return { x: 144, y: 24 };
    case 4: return { x: 40, y: 232 };
  }
}

export function nameHome(place: Place): Point {
  return [{ x: 124, y: 334 }, { x: 485, y: 322 }, { x: 415, y: 5 }, { x: 52, y: 11 }][place - 1]!;
}
// The bottom name ends here and grows to the left, away from the hand beside it.
export const BottomNameRight = 140;
export function nameRoom(place: Place): number {
  return [BottomNameRight - 2, 560 - 485 - 2, 560 - 415 - 2, 144 - 52 - 2][place - 1]!;
}

export function bidBoxHome(place: Place): Point {
  return [{ x: 112, y: 360 }, { x: 457, y: 328 }, { x: 416, y: 31 }, { x: 24, y: 16 }][place - 1]!;
}

// The cards still in an opponent's or the partner's hand: the last ones of the row go
// first, as they leave one by one from the end the desktop empties.
export function backCount(handCount: number, cutShown: boolean): number {
  return Math.max(0, Math.min(13, handCount - (cutShown ? 1 : 0)));
}

// The cards of the current trick: the plays since the last trick taken, in play order.
export function currentTrick(plays: readonly PlayedCard[], takers: readonly number[]): PlayedCard[] {
  const start = takers.length * 4;
  return plays.length > start ? plays.slice(start, start + 4) : [];
}

// The trick just completed (or the last one taken), for the last-trick window.
export function lastFullTrick(plays: readonly PlayedCard[]): PlayedCard[] {
  const full = Math.floor(plays.length / 4);
  return full === 0 ? [] : plays.slice((full - 1) * 4, full * 4);
}

// A glide as the desktop steps it: each cycle moves the card by one step on each axis,
// landing once less than a step remains. Returns the corner points it passes through where
// its direction changes (start, the point where the shorter axis arrives, the end), each
// with the share of the glide's time at which it is reached, and the glide's time.
export const GlideCycleMs = 5;
export const GlideStep = 38;
export interface GlidePath { points: { at: Point; offset: number }[]; ms: number; }

export function cyclesFor(distance: number, step: number): number {
  return distance <= 0 ? 0 : Math.ceil(distance / step);
}

export function glidePath(from: Point, to: Point, step = GlideStep): GlidePath {
  const dx = to.x - from.x;
  const dy = to.y - from.y;
  const cx = cyclesFor(Math.abs(dx), step);
  const cy = cyclesFor(Math.abs(dy), step);
  const cycles = Math.max(cx, cy);
  if (cycles === 0)
    return { points: [{ at: from, offset: 0 }, { at: to, offset: 1 }], ms: 0 };
  const points = [{ at: from, offset: 0 }];
  const shorter = Math.min(cx, cy);
  if (shorter > 0 && shorter < cycles) {
    const along = (d: number, c: number) => (c === shorter ? d : Math.sign(d) * Math.min(Math.abs(d), shorter * step));
    points.push({ at: { x: from.x + along(dx, cx), y: from.y + along(dy, cy) }, offset: shorter / cycles });
  }
  points.push({ at: to, offset: 1 });
  return { points, ms: cycles * GlideCycleMs };
}

// The sweep of a taken trick: where the cards leave the table and in which order of places.
export function sweepPlan(taker: Place): { order: Place[]; edge: (from: Point) => Point } {
  switch (taker) {
    case 1: return { order: [1, 2, 4, 3], edge: (p) => ({ x: p.x, y: TableHeight }) };
    case 2: return { order: [2, 3, 1, 4], edge: (p) => ({ x: TableWidth, y: p.y }) };
    case 3: return { order: [3, 2, 4, 1], edge: (p) => ({ x: p.x, y: 0 }) };
    case 4: return { order: [4, 3, 1, 2], edge: (p) => ({ x: 0, y: p.y }) };
  }
}

export function sameCard(a: Card, b: Card): boolean {
  return a[0] === b[0] && a[1] === b[1];
}

export function isLegal(card: Card, legal: readonly Card[]): boolean {
  return legal.some((c) => sameCard(c, card));
}

// The id of a card's face in the deck's picture file.
export function elementId(card: Card): string {
  const [suit, rank] = card;
  if (suit < 1 || suit > 4 || rank < 1 || rank > 13)
    return '';
  const suits = ['', 'club', 'spade', 'heart', 'diamond'];
  const r = rank === 11 ? 'jack' : rank === 12 ? 'queen' : rank === 13 ? 'king' : String(rank);
  return `${r}_${suits[suit]}`;
}

// Which card of the hand the arrow keys go to next: the row reads left to right on the
// table in both languages, so Right is always the next card.
export function nextIndex(current: number, count: number, key: string): number {
  if (count === 0)
    return -1;
  switch (key) {
    case 'ArrowRight': case 'ArrowDown': return Math.min(count - 1, current + 1);
    case 'ArrowLeft': case 'ArrowUp': return Math.max(0, current - 1);
    case 'Home': return 0;
    case 'End': return count - 1;
    default: return current;
  }
}

// The places (1..13) of the bottom hand's cards: the fan keeps the places the cards were
// dealt to, so a played card leaves a gap as it does on the desktop. When the dealt order
// does not agree with the shown order (a hand sorted after the deal), the cards close up.
export function handSlots(hand: readonly Card[], dealt: readonly Card[]): number[] {
  const at = hand.map((c) => dealt.findIndex((d) => sameCard(c, d)));
  const inOrder = at.every((i, n) => i >= 0 && (n === 0 || i > (at[n - 1] ?? -1)));
  return inOrder ? at.map((i) => i + 1) : hand.map((_, n) => n + 1);
}

// Which card of a hand of backs leaves when its seat plays: a well-mixed draw from what
// has been played so far, so that cards leave the hands from changing places as a
// person's do. Returns, for one seat, the places (1..13) still holding a back.
const Mask = (1n << 64n) - 1n;
function mix(cut: Card, dealerCounter: number, seat: number, playedBefore: number): bigint {
  let h = BigInt(cut[0] * 13 + cut[1]) & Mask;
  h = (h * 0x9E3779B97F4A7C15n + BigInt(dealerCounter)) & Mask;
  h = (h * 0xBF58476D1CE4E5B9n + BigInt(seat * 16 + playedBefore)) & Mask;
  h ^= h >> 31n;
  h = (h * 0x94D049BB133111EBn) & Mask;
  h ^= h >> 29n;
  return h;
}

export function backSlots(seat: number, dealer: number, plays: readonly PlayedCard[],
  dealerCounter: number, cut: Card): number[] {
  const held = new Set<number>([1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13]);
  let playedBefore = 0;
  let cutPlayed = false;
  for (const p of plays) {
    const isCut = p[0] === cut[0] && p[1] === cut[1];
    if (p[2] === seat) {
      if (seat === dealer && isCut) {
        held.delete(13);
      } else {
        const keep13 = seat === dealer && !cutPlayed;
        const choices = [...held].filter((k) => !(keep13 && k === 13)).sort((a, b) => a - b);
        if (choices.length > 0)
          held.delete(choices[Number(mix(cut, dealerCounter, seat, playedBefore) % BigInt(choices.length))]!);
      }
      ++playedBefore;
    }
    if (isCut)
      cutPlayed = true;
  }
  return [...held].sort((a, b) => a - b);
}

// What a click on a card of the hand does: nothing when it is not this seat's turn to play
// (or its card is already on the way), a refusal when the card does not follow suit, else
// the card is played.
export type CardClick = 'ignore' | 'refuse' | 'play';
export function cardClick(view: Pick<TableView, 'seat' | 'phase' | 'toAct' | 'legalCards'> | null,
  card: Card, busy: boolean): CardClick {
  if (!view || busy || view.phase !== 'playing' || view.toAct !== view.seat || view.legalCards.length === 0)
    return 'ignore';
  return isLegal(card, view.legalCards) ? 'play' : 'refuse';
}

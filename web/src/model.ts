// SPDX-License-Identifier: GPL-3.0-or-later
// What the page knows of its table: the types the connection hands the table's drawing, and the
// few rules of the game the drawing needs to word what it shows.

// A card as the protocol sends it: [suit, rank]; suit 1 clubs, 2 spades, 3 hearts, 4 diamonds;
// rank 1 ace, 2..10, 11 jack, 12 queen, 13 king.
export type Card = readonly [number, number];
// A card played to the table: [suit, rank, seat].
export type PlayedCard = readonly [number, number, number];
export type Phase = 'no-deal' | 'bidding' | 'playing' | 'trick-complete' | 'deal-over' | 'game-over';
// Indexes 0..3 are seats 1..4 (the protocol's per-seat arrays).
export type PerSeat<T> = readonly [T, T, T, T];

// Everything one seat may know of its table (what the server's "view" carries), always whole:
// the connection applies the server's changes and hands the UI the view after each step.
export interface TableView {
  seat: number;            // 1..4: this page's chair at the table
  phase: Phase;
  toAct: number;           // the seat whose action is awaited, 0 when none
  dealerCounter: number;   // dealerSeat(dealerCounter) is the dealer
  trump: number;           // suit 1..4, 0 before the cut
  cut: Card;               // the dealer's turned card ([0,0] when none)
  hand: Card[];            // this seat's cards in hand, in the order the game shows them
  dealt: Card[];           // this seat's hand as dealt
  bids: PerSeat<number>;   // stored bids (0: not made or hidden from this seat)
  bidMade: PerSeat<boolean>;
  scores: PerSeat<number>; // the running scores of the game
  plays: PlayedCard[];     // every card played in this deal, in order
  takers: number[];        // the taker of each trick taken, in order
  handCounts: PerSeat<number>;
  scoreRows: PerSeat<number>[]; // running game scores after each scored deal
  passed: boolean;
  scored: boolean;
  winner: number;
  deals: number;
  legalBids: number[];     // stored bids this seat may make now (empty unless asked)
  legalCards: Card[];      // cards this seat may play now (empty unless asked)
}

// The server's own names of the steps.
export type StepKind = 'Snapshot' | 'DealStarted' | 'BidMade' | 'BidsPublic' | 'Passed' |
  'CardPlayed' | 'TrickComplete' | 'TrickTaken' | 'DealScored' | 'GameWon' | 'NewGame' | 'Asked';

export interface TableStep {
  kind: StepKind;
  seat: number;            // 0 when the step has none
  card: Card | null;
  value: number;           // 0 when none
  serial: number;
  view: TableView;         // the seat's view after the step
}

export type ChairKind = 'open' | 'person' | 'away' | 'computer';
export interface Welcome {
  seat: number; table: string;
  names: PerSeat<string>;  // plain text: always shown with textContent, never innerHTML
  chairs: PerSeat<ChairKind>;
  started: boolean;
  // Whether this seat may start the game. A page always joins a table by its code, and the
  // table's host is whoever opened it (the desktop game, or a program at the dedicated server):
  // the connection says false.
  host?: boolean;
}
export type ConnectionState = 'connecting' | 'open' | 'reconnecting' | 'closed';

// What the table listens to, and what it may ask of the connection.
export interface TableEvents {
  welcome(w: Welcome): void;
  step(s: TableStep): void;               // in serial order; a snapshot after a gap
  chat(seat: number, text: string): void;
  refused(reason: string): void;          // the server's reason text
  bye(reason: string): void;              // the connection ends for good
  connection(state: ConnectionState): void;
}
export interface TableActions {
  bid(stored: number): void;
  play(card: Card): void;
  say(text: string): void;
  start(): void;                          // the host only
  leave(): void;
  // The UI calls this when it has finished showing a step (glide, sweep): the connection
  // does not hand over the next step before, so nothing runs ahead of what is seen.
  shown(serial: number): void;
}

export const PHASES: readonly Phase[] =
  ['no-deal', 'bidding', 'playing', 'trick-complete', 'deal-over', 'game-over'];
export const STEP_KINDS: readonly StepKind[] = ['Snapshot', 'DealStarted', 'BidMade', 'BidsPublic',
  'Passed', 'CardPlayed', 'TrickComplete', 'TrickTaken', 'DealScored', 'GameWon', 'NewGame', 'Asked'];
export const CHAIR_KINDS: readonly ChairKind[] = ['open', 'person', 'away', 'computer'];

// Every bid there is, lowest first: 2..6 tricks as they are, 7..13 tricks doubled.
export const STORED_BIDS: readonly number[] = [2, 3, 4, 5, 6, 14, 16, 18, 20, 22, 24, 26];

// The dealer counter runs 0..3; counter 0 is seat 4's deal.
export function dealerSeat(counter: number): number {
  return counter === 0 ? 4 : counter;
}

// The seat after `seat` in turn order (1 -> 2 -> 3 -> 4 -> 1).
export function nextSeat(seat: number): number {
  return seat === 4 ? 1 : seat + 1;
}

export function isHighBid(stored: number): boolean {
  return stored >= 14;
}

// The tricks a stored bid asks for.
export function tricksOfBid(stored: number): number {
  return isHighBid(stored) ? stored / 2 : stored;
}

// The seat sitting opposite: a player's partner.
export function partnerOf(seat: number): number {
  return ((seat + 1) % 4) + 1;
}

export function sameCard(a: Card, b: Card): boolean {
  return a[0] === b[0] && a[1] === b[1];
}

// The cards lying in the trick in progress, a complete trick included until it is taken.
export function cardsOnTable(view: TableView): PlayedCard[] {
  const lying = view.phase === 'trick-complete' ? 4 : view.plays.length % 4;
  return view.plays.slice(view.plays.length - lying);
}

// The last trick taken in this deal, or none.
export function lastTrick(view: TableView): PlayedCard[] {
  const taken = view.takers.length;
  if (taken === 0 || taken * 4 > view.plays.length) return [];
  return view.plays.slice((taken - 1) * 4, taken * 4);
}

// Tricks each seat has taken in this deal (index 0..3: seats 1..4).
export function tricksWon(view: TableView): PerSeat<number> {
  const won: [number, number, number, number] = [0, 0, 0, 0];
  for (const seat of view.takers) won[seat - 1] = (won[seat - 1] ?? 0) + 1;
  return won;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The one door between the table and the page's connection and texts: the table imports
// only from here, so the connection's own modules can replace this stand-in in one place.

export type Card = readonly [number, number];
export type PlayedCard = readonly [number, number, number];
export type Phase = 'no-deal' | 'bidding' | 'playing' | 'trick-complete' | 'deal-over' | 'game-over';
export type PerSeat<T> = readonly [T, T, T, T];

export interface TableView {
  seat: number;
  phase: Phase;
  toAct: number;
  dealerCounter: number;
  trump: number;
  cut: Card;
  hand: Card[];
  dealt: Card[];
  bids: PerSeat<number>;
  bidMade: PerSeat<boolean>;
  scores: PerSeat<number>;
  plays: PlayedCard[];
  takers: number[];
  handCounts: PerSeat<number>;
  scoreRows: PerSeat<number>[];
  passed: boolean;
  scored: boolean;
  winner: number;
  deals: number;
  legalBids: number[];
  legalCards: Card[];
}

export type StepKind = 'Snapshot' | 'DealStarted' | 'BidMade' | 'BidsPublic' | 'Passed' |
  'CardPlayed' | 'TrickComplete' | 'TrickTaken' | 'DealScored' | 'GameWon' | 'NewGame' | 'Asked';

export interface TableStep {
  kind: StepKind;
  seat: number;
  card: Card | null;
  value: number;
  serial: number;
  view: TableView;
}

export type ChairKind = 'open' | 'person' | 'away' | 'computer';
export interface Welcome {
  seat: number; table: string;
  names: PerSeat<string>;
  chairs: PerSeat<ChairKind>;
  started: boolean;
  host?: boolean;          // this page's chair opened the table (may start it)
}
export type ConnectionState = 'connecting' | 'open' | 'reconnecting' | 'closed';

export interface TableEvents {
  welcome(w: Welcome): void;
  step(s: TableStep): void;
  chat(seat: number, text: string): void;
  refused(reason: string): void;
  bye(reason: string): void;
  connection(state: ConnectionState): void;
}
export interface TableActions {
  bid(stored: number): void;
  play(card: Card): void;
  say(text: string): void;
  start(): void;
  leave(): void;
  shown(serial: number): void;
}

// The dealer of a deal: the counter runs 1, 2, 3, 0 for seats 1..4.
export function dealerSeat(counter: number): number {
  const c = ((counter % 4) + 4) % 4;
  return c === 0 ? 4 : c;
}

export function tricksOfBid(stored: number): number {
  return stored >= 14 ? stored / 2 : stored;
}

export function isHighBid(stored: number): boolean {
  return stored >= 14;
}

export type Language = 'en' | 'ar';
let language: Language = 'en';
const arabic = new Map<string, string>();

export function setLanguage(lang: Language): void { language = lang; }
export function currentLanguage(): Language { return language; }
// Filled by the page from the translations while the connection's texts are not here yet.
export function learnArabic(context: string, source: string, translation: string): void {
  arabic.set(context + '\u0004' + source, translation);
}

export function t(context: string, source: string): string {
  if (language === 'ar')
    return arabic.get(context + '\u0004' + source) ?? source;
  return source;
}

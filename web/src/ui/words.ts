// SPDX-License-Identifier: GPL-3.0-or-later
// What the table says in words: card names, chair marks, numbers and the announcements of
// each step, all in the page's language.

import { currentLanguage, t, type Card, type ChairKind, type TableStep, type TableView } from './api';
import * as api from './api';

// Right to left, a figure is kept between marks so that "-3" keeps its sign in front.
export function numberText(n: number | string): string {
  const figure = String(n);
  return currentLanguage() === 'ar' ? '\u200E' + figure + '\u200E' : figure;
}

export function scoreChangeText(change: number): string {
  return numberText(change > 0 ? `+${change}` : String(change));
}

export function arg(text: string, ...values: (string | number)[]): string {
  // Like Qt's arg: the markers of the text itself, lowest number first, each taking one
  // value; a value's own "%1" (a player may be called that) is never replaced.
  const numbers = [...new Set([...text.matchAll(/%(\d+)/g)].map((m) => Number(m[1])))].sort((a, b) => a - b);
  return text.replace(/%(\d+)/g, (whole, d: string) => {
    const i = numbers.indexOf(Number(d));
    return i >= 0 && i < values.length ? String(values[i]) : whole;
  });
}

// A count with its plural form: the connection's texts know the Arabic forms when they
// offer them; otherwise the English form stands in.
type Plural = (context: string, source: string, n: number) => string;
export function counted(source: string, n: number): string {
  const plural = (api as unknown as { tn?: Plural }).tn;
  if (plural)
    return plural('Access', source, n);
  const text = t('Access', source).split('%n').join(String(n));
  return currentLanguage() === 'en' ? text.replace('(s)', n === 1 ? '' : 's') : text;
}

export function cardName(card: Card | readonly number[]): string {
  const [suit, rank] = card;
  if (suit < 1 || suit > 4 || rank < 1 || rank > 13)
    return '';
  const suits = ['', 'clubs', 'spades', 'hearts', 'diamonds'];
  const ranks = ['', 'Ace', '2', '3', '4', '5', '6', '7', '8', '9', '10', 'Jack', 'Queen', 'King'];
  return arg(t('Access', '%1 of %2'), t('Access', ranks[rank]), t('Access', suits[suit]));
}

export function suitName(suit: number): string {
  const suits = ['', 'clubs', 'spades', 'hearts', 'diamonds'];
  return suit >= 1 && suit <= 4 ? t('Access', suits[suit]) : '';
}

// A chair's name as the table shows it: an open chair, a player away, a computer and its level.
export function chairName(name: string, kind: ChairKind): string {
  switch (kind) {
    case 'open': return t('Network', '(open)');
    case 'away': return arg(t('Network', '%1 (away)'), name);
    case 'computer':
      if (name === 'Expert') return t('Expert', 'Expert');
      if (name === 'Classic') return t('Expert', 'Classic');
      return arg(t('Network', '%1 (computer)'), name);
    case 'person': return name;
  }
}

// A bid as the list offers it: the stored value, as the desktop's list shows it.
export function bidName(stored: number): string {
  return numberText(stored);
}

// What a screen reader hears for a step, as the desktop announces it; '' when nothing.
// `name` gives a seat's shown name.
export function announcement(step: TableStep, name: (seat: number) => string): string {
  const view = step.view;
  const sep = t('Access', ', ');
  const turn = (): string => {
    if (view.phase === 'playing' && view.toAct >= 1)
      return view.toAct === view.seat ? t('Access', 'Your turn') : arg(t('Access', '%1 to play'), name(view.toAct));
    if (view.phase === 'bidding' && view.toAct === view.seat)
      return t('Access', 'Your turn to bid');
    return '';
  };
  const joined = (first: string, second: string) => (second === '' ? first : first + sep + second);
  switch (step.kind) {
    case 'DealStarted':
      return joined(arg(t('Access', 'New deal: %1 deals, trump is %2'), name(step.seat), suitName(view.trump)), turn());
    case 'BidMade':
      if (step.seat !== view.seat && step.value !== 0)
        return joined(arg(t('Access', '%1 bids %2'), name(step.seat), numberText(step.value)), turn());
      return view.toAct === view.seat ? turn() : '';
    case 'BidsPublic': {
      const items = [1, 2, 3, 4].map((s) => arg(t('Access', '%1 %2'), name(s), numberText(view.bids[s - 1])));
      return arg(t('Access', 'Bids: %1'), items.join(sep));
    }
    case 'Passed':
      return t('Access', 'The bids total less than 11; the deal is dealt again');
    case 'CardPlayed':
      return step.card ? joined(arg(t('Access', '%1 plays %2'), name(step.seat), cardName(step.card)), turn()) : '';
    case 'TrickTaken':
      return joined(arg(t('Access', '%1 takes the trick, %2 now'), name(step.seat), counted('%n trick(s)', step.value)), turn());
    case 'DealScored': {
      const rows = view.scoreRows;
      const items = [1, 2, 3, 4].map((s) => {
        const now = view.scores[s - 1];
        const before = rows.length >= 2 ? rows[rows.length - 2][s - 1] : 0;
        return arg(t('Access', '%1 %2, total %3'), name(s), scoreChangeText(now - before), numberText(now));
      });
      return arg(t('Access', 'Deal scored: %1'), items.join(sep));
    }
    case 'GameWon':
      return arg(t('Access', '%1 wins the game for his side'), name(step.seat));
    default:
      return '';
  }
}

// The message at the end of a game, as the desktop words it.
export function gameWonText(view: TableView, name: (seat: number) => string): string {
  const me = view.seat;
  const partner = ((me + 1) % 4) + 1;
  const right = (me % 4) + 1;
  const left = ((me + 2) % 4) + 1;
  const rtl = currentLanguage() === 'ar';
  const isolate = (s: string) => (rtl ? '\u2068' + s + '\u2069' : s);
  const score = (seat: number) => (rtl ? '\u2066' + String(view.scores[seat - 1]) + '\u2069' : String(view.scores[seat - 1]));
  const ours = view.winner === me || view.winner === partner;
  return (ours ? t('Flow', 'Your side has won the game!') : t('Flow', 'The other side has won the game.')) + '\n\n' +
    arg(t('Flow', 'Your side: %1 %2, %3 %4'), isolate(name(me)), score(me), isolate(name(partner)), score(partner)) + '\n' +
    arg(t('Flow', 'The other side: %1 %2, %3 %4'), isolate(name(right)), score(right), isolate(name(left)), score(left));
}

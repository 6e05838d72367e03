// SPDX-License-Identifier: GPL-3.0-or-later
// What the table says in words: card names, chair marks, numbers and the announcements of
// each step, all in the page's language.

import { currentLanguage, t, tn, type Card, type ChairKind, type TableStep, type TableView } from './api';

// Right to left, a figure is set apart to read left to right, so that "-3" keeps its sign
// in front: marks alone leave the sign behind the figure in a browser, an isolate does not.
export function numberText(n: number | string): string {
  const figure = String(n);
  return currentLanguage() === 'ar' ? '\u2066' + figure + '\u2069' : figure;
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

// A count with its plural form (Arabic has six).
export function cardCount(n: number): string {
  return tn('Access', '%n card(s)', n);
}

export function trickCount(n: number): string {
  return tn('Access', '%n trick(s)', n);
}

export function suitName(suit: number): string {
  switch (suit) {
    case 1: return t('Access', 'clubs');
    case 2: return t('Access', 'spades');
    case 3: return t('Access', 'hearts');
    case 4: return t('Access', 'diamonds');
    default: return '';
  }
}

export function rankName(rank: number): string {
  switch (rank) {
    case 1: return t('Access', 'Ace');
    case 2: return t('Access', '2');
    case 3: return t('Access', '3');
    case 4: return t('Access', '4');
    case 5: return t('Access', '5');
    case 6: return t('Access', '6');
    case 7: return t('Access', '7');
    case 8: return t('Access', '8');
    case 9: return t('Access', '9');
    case 10: return t('Access', '10');
    case 11: return t('Access', 'Jack');
    case 12: return t('Access', 'Queen');
    case 13: return t('Access', 'King');
    default: return '';
  }
}

// "Queen of hearts": the name a card has for a screen reader.
export function cardName(card: Card | readonly number[]): string {
  const suit = card[0] ?? 0;
  const rank = card[1] ?? 0;
  if (suit < 1 || suit > 4 || rank < 1 || rank > 13)
    return '';
  return t('Access', '%1 of %2', rankName(rank), suitName(suit));
}

// A chair's name as the table shows it: an open chair, a player away, a computer and its level.
export function chairName(name: string, kind: ChairKind): string {
  switch (kind) {
    case 'open': return t('Network', '(open)');
    case 'away': return t('Network', '%1 (away)', name);
    case 'computer':
      if (name === 'Expert') return t('Expert', 'Expert');
      if (name === 'Classic') return t('Expert', 'Classic');
      return t('Network', '%1 (computer)', name);
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
      return view.toAct === view.seat ? t('Access', 'Your turn') : t('Access', '%1 to play', name(view.toAct));
    if (view.phase === 'bidding' && view.toAct === view.seat)
      return t('Access', 'Your turn to bid');
    return '';
  };
  const joined = (first: string, second: string) => (second === '' ? first : first + sep + second);
  switch (step.kind) {
    case 'DealStarted':
      return joined(t('Access', 'New deal: %1 deals, trump is %2', name(step.seat), suitName(view.trump)), turn());
    case 'BidMade':
      if (step.seat !== view.seat && step.value !== 0)
        return joined(t('Access', '%1 bids %2', name(step.seat), numberText(step.value)), turn());
      return view.toAct === view.seat ? turn() : '';
    case 'BidsPublic': {
      const items = [1, 2, 3, 4].map((s) => t('Access', '%1 %2', name(s), numberText(view.bids[s - 1] ?? 0)));
      return t('Access', 'Bids: %1', items.join(sep));
    }
    case 'Passed':
      return t('Access', 'The bids total less than 11; the deal is dealt again');
    case 'CardPlayed':
      return step.card ? joined(t('Access', '%1 plays %2', name(step.seat), cardName(step.card)), turn()) : '';
    case 'TrickTaken':
      return joined(t('Access', '%1 takes the trick, %2 now', name(step.seat), trickCount(step.value)), turn());
    case 'DealScored': {
      const rows = view.scoreRows;
      const items = [1, 2, 3, 4].map((s) => {
        const now = view.scores[s - 1] ?? 0;
        const before = rows.length >= 2 ? (rows[rows.length - 2]?.[s - 1] ?? 0) : 0;
        return t('Access', '%1 %2, total %3', name(s), scoreChangeText(now - before), numberText(now));
      });
      return t('Access', 'Deal scored: %1', items.join(sep));
    }
    case 'GameWon':
      return t('Access', '%1 wins the game for his side', name(step.seat));
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
    t('Flow', 'Your side: %1 %2, %3 %4', isolate(name(me)), score(me), isolate(name(partner)), score(partner)) + '\n' +
    t('Flow', 'The other side: %1 %2, %3 %4', isolate(name(right)), score(right), isolate(name(left)), score(left));
}

// SPDX-License-Identifier: GPL-3.0-or-later
// What the table says: card and chair names, bids, numbers, and the announcement of each
// kind of step, in English and in Arabic.

import { readFileSync } from 'node:fs';
import { afterEach, beforeAll, describe, expect, it } from 'vitest';
import { parseTranslations } from '../../build_lib.mjs';
import { catalogKey, setCatalog, setLanguage, type Catalog } from '../texts';
import type { Card, PerSeat, StepKind, TableStep, TableView } from './api';
import { announcement, arg, bidName, cardName, chairName, gameWonText, numberText } from './words';

const quiet = { storage: null, documentElement: null };

beforeAll(() => {
  // Every translated text of the desktop's file, as the page's catalog holds them.
  const file = readFileSync(new URL('../../../translations/halbeet_ar.ts', import.meta.url), 'utf8');
  const catalog: Catalog = {};
  for (const m of parseTranslations(file) as { context: string; source: string; comment: string; translation: string | string[] | null }[]) {
    if (m.translation === null)
      continue;
    catalog[catalogKey(m.context, m.source)] ??= m.translation;
    catalog[catalogKey(m.context, m.source, m.comment)] = m.translation;
  }
  setCatalog(catalog);
});

afterEach(() => setLanguage('en', quiet, false));

const names = ['Sam', 'Classic', 'سلمى', 'Omar'];
const name = (seat: number) => names[seat - 1] ?? '';

function view(over: Partial<TableView> = {}): TableView {
  const four = <T>(v: T): PerSeat<T> => [v, v, v, v];
  return {
    seat: 1, phase: 'playing', toAct: 0, dealerCounter: 1, trump: 3, cut: [4, 5], hand: [], dealt: [],
    bids: four(0), bidMade: four(false), scores: four(0), plays: [], takers: [], handCounts: four(13),
    scoreRows: [], passed: false, scored: false, winner: 0, deals: 1, legalBids: [], legalCards: [], ...over,
  };
}

function step(kind: StepKind, seat: number, v: TableView, card: Card | null = null, value = 0): TableStep {
  return { kind, seat, card, value, serial: 1, view: v };
}

describe('card names', () => {
  it.each([
    ['en', [3, 12], 'Queen of hearts'],
    ['en', [2, 1], 'Ace of spades'],
    ['en', [4, 10], '10 of diamonds'],
    ['en', [1, 11], 'Jack of clubs'],
    ['en', [0, 0], ''],
  ] as ['en' | 'ar', Card, string][])('%s: %j is "%s"', (lang, card, text) => {
    setLanguage(lang, quiet, false);
    expect(cardName(card)).toBe(text);
  });

  it('names a card in Arabic with the desktop\'s words, not the English ones', () => {
    setLanguage('ar', quiet, false);
    const queen = cardName([3, 12]);
    expect(queen).not.toBe('Queen of hearts');
    expect(queen).toMatch(/[\u0600-\u06FF]/);
    expect(cardName([3, 13])).not.toBe(queen);
  });
});

describe('chair names', () => {
  it.each([
    ['Sam', 'person', 'Sam'],
    ['Sam', 'away', 'Sam (away)'],
    ['', 'open', '(open)'],
    ['Expert', 'computer', 'Expert'],
    ['Classic', 'computer', 'Classic'],
    ['Robo', 'computer', 'Robo (computer)'],
  ] as const)('%s in a chair that is %s shows as "%s"', (n, kind, shown) => {
    expect(chairName(n, kind)).toBe(shown);
  });

  it('keeps a name that looks like a marker as it is', () => {
    expect(chairName('%1 %2', 'away')).toBe('%1 %2 (away)');
    expect(arg('%1 says: %2', '%2', 'hi')).toBe('%2 says: hi');
  });
});

describe('bids and numbers', () => {
  it.each([[2, '2'], [6, '6'], [14, '14'], [26, '26']])('the bid stored as %i reads "%s"', (stored, text) => {
    expect(bidName(stored)).toBe(text);
  });

  it('keeps a figure left to right inside Arabic, so a minus stays in front', () => {
    setLanguage('ar', quiet, false);
    expect(numberText(-3)).toBe('\u2066-3\u2069');
    expect(bidName(14)).toBe('\u206614\u2069');
    setLanguage('en', quiet, false);
    expect(numberText(-3)).toBe('-3');
  });
});

describe('announcements', () => {
  const bids: PerSeat<number> = [3, 4, 14, 2];
  it.each([
    ['DealStarted', step('DealStarted', 4, view({ phase: 'bidding', toAct: 1 })),
      'New deal: Omar deals, trump is hearts, Your turn to bid'],
    ['DealStarted, another to bid', step('DealStarted', 1, view({ phase: 'bidding', toAct: 2 })),
      'New deal: Sam deals, trump is hearts'],
    ['a bid shown', step('BidMade', 2, view({ phase: 'bidding', toAct: 3 }), null, 4), 'Classic bids 4'],
    ['a hidden bid, this seat next', step('BidMade', 4, view({ phase: 'bidding', toAct: 1 }), null, 0), 'Your turn to bid'],
    ['a hidden bid', step('BidMade', 3, view({ phase: 'bidding', toAct: 4 }), null, 0), ''],
    ["this seat's own bid", step('BidMade', 1, view({ phase: 'bidding', toAct: 2 }), null, 3), ''],
    ['the bids', step('BidsPublic', 0, view({ bids, toAct: 2 })), 'Bids: Sam 3, Classic 4, سلمى 14, Omar 2'],
    ['a pass', step('Passed', 0, view({ phase: 'no-deal' })), 'The bids total less than 11; the deal is dealt again'],
    ['a card, this seat next', step('CardPlayed', 4, view({ toAct: 1 }), [3, 12], 1), 'Omar plays Queen of hearts, Your turn'],
    ['a card, another next', step('CardPlayed', 1, view({ toAct: 2 }), [1, 1], 1), 'Sam plays Ace of clubs, Classic to play'],
    ['the last card of a trick', step('CardPlayed', 2, view({ phase: 'trick-complete' }), [1, 3], 0), 'Classic plays 3 of clubs'],
    ['a trick taken', step('TrickTaken', 3, view({ toAct: 3 }), null, 2), 'سلمى takes the trick, 2 tricks now, سلمى to play'],
    ['a first trick taken', step('TrickTaken', 1, view({ toAct: 1 }), null, 1), 'Sam takes the trick, 1 trick now, Your turn'],
    ['a deal scored', step('DealScored', 0, view({ phase: 'deal-over', scores: [5, -4, 14, 2],
      scoreRows: [[2, 0, 0, 0], [5, -4, 14, 2]] })),
    'Deal scored: Sam +3, total 5, Classic -4, total -4, سلمى +14, total 14, Omar +2, total 2'],
    ['a game won', step('GameWon', 3, view({ phase: 'game-over', winner: 3 })), 'سلمى wins the game for his side'],
    ['a complete trick', step('TrickComplete', 0, view({ phase: 'trick-complete' })), ''],
    ['a question', step('Asked', 1, view({ toAct: 1 })), ''],
    ['a snapshot', step('Snapshot', 0, view()), ''],
    ['a new game', step('NewGame', 0, view({ phase: 'no-deal' })), ''],
  ] as [string, TableStep, string][])('%s', (_, s, text) => {
    expect(announcement(s, name)).toBe(text);
  });

  it('speaks Arabic in Arabic, with the plural form of the count', () => {
    setLanguage('ar', quiet, false);
    const two = announcement(step('TrickTaken', 3, view(), null, 2), name);
    const three = announcement(step('TrickTaken', 3, view(), null, 3), name);
    expect(two).toContain('سلمى');
    expect(two).not.toContain('takes');
    expect(two).not.toBe(three.replace('3', '2'));
  });
});

describe('the end of a game', () => {
  it('tells this seat whether its side won, its side first', () => {
    const v = view({ seat: 2, winner: 4, scores: [10, 41, -3, 20] });
    expect(gameWonText(v, name)).toBe('Your side has won the game!\n\nYour side: Classic 41, Omar 20\n' +
      'The other side: سلمى -3, Sam 10');
    expect(gameWonText(view({ winner: 2, scores: [1, 41, 2, 3] }), name)).toMatch(/^The other side has won the game\./);
  });
});

// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start: its language and texts, the card deck, then the table named in its
// address joined (or, with #practice, a table of the page's own).

import { connect } from './connection';
import { loadCatalog, startLanguage, t } from './texts';
import type { TableActions } from './model';
import { DeckArt } from './ui/deck';
import { PracticeTable } from './ui/practice';
import { TablePage } from './ui/table_page';

startLanguage(navigator.languages);

async function start(): Promise<void> {
  const deck = new DeckArt();
  await Promise.all([
    loadCatalog().catch((error: unknown) => console.warn('texts', error)),
    deck.load(),
  ]);
  document.title = t('Language', 'Halbeet');
  const root = document.getElementById('table');
  if (!root)
    return;
  let actions: TableActions | null = null;
  const page = new TablePage(root, {
    bid: (stored) => actions?.bid(stored),
    play: (card) => actions?.play(card),
    say: (text) => actions?.say(text),
    start: () => actions?.start(),
    leave: () => actions?.leave(),
    shown: (serial) => actions?.shown(serial),
  }, { deck });
  if (location.hash === '#practice') {
    // A table of the page's own, without a server: for looking at the page alone.
    const practice = new PracticeTable(page);
    actions = practice;
    practice.begin(['Sam', 'Classic', 'سلمى', 'Omar']);
    return;
  }
  actions = connect(page, { askName: () => page.askName() });
}

void start();

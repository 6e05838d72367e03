// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start until the table is drawn: its language and texts, and the table named in
// its address joined, each step written to the console.

import { connect } from './connection';
import { loadCatalog, startLanguage, t } from './texts';

startLanguage(navigator.languages);
void loadCatalog()
  .then(() => { document.title = t('Language', 'Halbeet'); })
  .catch((error: unknown) => console.warn('texts', error));

const actions = connect({
  welcome: (w) => console.info('welcome', w),
  step: (s) => {
    console.info('step', s.serial, s.kind, s.view);
    actions.shown(s.serial);
  },
  chat: (seat, text) => console.info('chat', seat, text),
  refused: (reason) => console.info('refused', reason),
  bye: (reason) => console.info('bye', reason),
  connection: (state) => console.info('connection', state),
}, {
  askName: () => {
    const name = window.prompt(t('NameDialog', 'What is your name?'));
    return name === null ? Promise.reject(new Error('no name given')) : Promise.resolve(name);
  },
});

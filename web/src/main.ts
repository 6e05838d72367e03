// SPDX-License-Identifier: GPL-3.0-or-later
// The page's start until the table is drawn: its language and texts.

import { loadCatalog, startLanguage, t } from './texts';

startLanguage(navigator.languages);
void loadCatalog()
  .then(() => { document.title = t('Language', 'Halbeet'); })
  .catch((error: unknown) => console.warn('texts', error));

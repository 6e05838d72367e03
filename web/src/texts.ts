// SPDX-License-Identifier: GPL-3.0-or-later
// Every visible text of the page, in English or Arabic, from the desktop game's own translation
// file, and the page's language.
//
// A text is named by the context and English source text it has in translations/halbeet_ar.ts,
// written out as literal strings: the build reads every call of t, tk and tn in web/src,
// writes only those texts to texts.json and stops when one names a text the file does not
// hold, so the page cannot drift from the desktop's words. Build a text from parts with %1 %2
// arguments, never by gluing translated pieces together.
//
// Texts the table will need, ready in the catalog (the calls below are read by the build too):
//   Suits and ranks:  t('Access', 'clubs') t('Access', 'spades') t('Access', 'hearts')
//     t('Access', 'diamonds') t('Access', 'Ace') t('Access', 'Jack') t('Access', 'Queen')
//     t('Access', 'King') t('Access', '2') t('Access', '3') t('Access', '4') t('Access', '5')
//     t('Access', '6') t('Access', '7') t('Access', '8') t('Access', '9') t('Access', '10')
//     t('Access', '%1 of %2')
//   Seats:  t('Access', 'you') t('Access', 'your partner') t('Access', 'right-hand opponent')
//     t('Access', 'left-hand opponent') t('Access', 'Card table') t('Access', 'in your hand')
//     t('Access', 'on the table in this trick')
//   Bidding:  t('MainWindow', 'Choose your bid') t('MainWindow', 'Ok') t('Flow', 'Choose your bid ...')
//     t('Access', 'Your bid') t('Access', 'Your turn to bid') t('Access', '%1 bids %2')
//     t('Access', 'Bid of %1: %2') t('Access', 'Bid of %1: not shown yet')
//     t('Access', 'Bid of %1: none yet') t('Flow', 'Bids are less than 11; deal passes.')
//     t('Access', 'The bids total less than 11; the deal is dealt again')
//   Play:  t('Access', 'Your turn') t('Access', 'That card does not follow suit')
//     t('Access', '%1 plays %2') t('Access', '%1 to play') t('Access', '%1 takes the trick, %2 now')
//     t('Access', '%1 has taken %2') t('Access', 'Trump: %1') t('Access', 'Trump: none')
//     t('Access', 'Dealer: %1') t('Access', 'To play: %1') t('MainWindow', 'Last Trick')
//     t('LastTrick', 'Last Shot') t('LastTrick', 'Close') t('MainWindow', 'Play') t('MainWindow', 'Deal')
//     tn('Access', '%n card(s)', n) tn('Access', '%n trick(s)', n)
//   Scores:  t('ScoreSheet', 'Scores') t('MainWindow', 'Scores') t('Access', 'latest score')
//     t('Access', 'earlier score') t('Access', 'Deal scored: %1') t('Access', '%1 %2, total %3')
//     t('Flow', 'Your side has won the game!') t('Flow', 'The other side has won the game.')
//     t('Flow', 'Your side: %1 %2, %3 %4') t('Flow', 'The other side: %1 %2, %3 %4')
//     t('Access', '%1 wins the game for his side')
//   The table and the connection:  t('Network', 'Table %1') t('Network', '&Start the game')
//     t('Network', 'Waiting for the host to start the game.') t('Network', 'Start when your friends are seated.')
//     t('Network', '(open)') t('Network', '%1 (computer)') t('Network', '%1 (away)')
//     t('Network', 'Connection lost; reconnecting...') t('Network', 'Back at the table.')
//     t('Network', 'You are no longer at the table: %1') t('Network', '&Leave the table')
//     t('Network', 'Leave the table? A computer will play your seat.') t('Network', 'Table code')
//     t('Network', 'Say something to the table') t('Network', 'Send') t('Network', 'Chat')
//     t('Network', 'Not so fast: wait a moment.') t('Network', '%1 says: %2')
//     t('NameDialog', 'Welcome to Halbeet') t('NameDialog', 'What is your name?') t('NameDialog', '&Ok')
//     t('Names', 'Please type your name.') t('Language', 'Halbeet')
//     t('MainWindow', 'العربية') t('MainWindow', 'English')
//   The server's reasons: reasonText(reason) below.
// Should a context come to hold one source text twice with different translations (the
// desktop tells them apart by key), the build asks for the key, named after the source text
// in a call of tk.
// Texts with '&' carry the desktop's keyboard mnemonic: show them through withoutMnemonic().

export type Language = 'en' | 'ar';
// Arabic texts by catalogKey(); a text with plural forms has the six forms of Arabic.
export type Catalog = Record<string, string | string[]>;

const STORAGE_KEY = 'halbeet.language';

let language: Language = 'en';
let catalog: Catalog = {};
const listeners: Array<(lang: Language) => void> = [];

export function catalogKey(context: string, source: string, key?: string): string {
  return key === undefined ? `${context}\u0004${source}` : `${context}\u0004${source}\u0004${key}`;
}

// Qt's multi-argument arg(): every %N at once, so that an argument that itself holds "%2" (a
// player's name) is left as it is.
export function fillArguments(text: string, args: readonly (string | number)[]): string {
  if (args.length === 0) return text;
  return text.replace(/%(\d{1,2})/g, (whole, digits: string) => {
    const n = Number(digits);
    return n >= 1 && n <= args.length ? String(args[n - 1]) : whole;
  });
}

function lookUp(key: string): string | string[] | undefined {
  return language === 'ar' ? catalog[key] : undefined;
}

// The text shown for an English source text of the desktop game, with %1.. filled in.
export function t(context: string, source: string, ...args: (string | number)[]): string {
  const found = lookUp(catalogKey(context, source));
  return fillArguments(typeof found === 'string' ? found : source, args);
}

// The same, for a source text that has several translations in its context, told apart by key.
export function tk(context: string, source: string, key: string, ...args: (string | number)[]): string {
  const found = lookUp(catalogKey(context, source, key));
  return fillArguments(typeof found === 'string' ? found : source, args);
}

// Arabic's six plural forms, in the order Qt keeps them: none, one, two, a few (3..10), many
// (11..99), the rest.
export function arabicPluralForm(n: number): number {
  const m = Math.abs(n) % 100;
  if (n === 0) return 0;
  if (n === 1) return 1;
  if (n === 2) return 2;
  if (m >= 3 && m <= 10) return 3;
  if (m >= 11) return 4;
  return 5;
}

// A count: "%n card(s)" -> "1 card", "3 cards"; in Arabic the plural form for n.
export function tn(context: string, source: string, n: number): string {
  const found = lookUp(catalogKey(context, source));
  let text: string;
  if (Array.isArray(found) && found.length > 0) {
    text = found[Math.min(arabicPluralForm(n), found.length - 1)] ?? source;
  } else {
    text = source.replace('(s)', n === 1 ? '' : 's');
  }
  return text.replace(/%n/g, String(n));
}

// A desktop text without its keyboard mnemonic ("&Start" -> "Start", "&&" -> "&").
export function withoutMnemonic(text: string): string {
  return text.replace(/&(&?)/g, '$1');
}

// The server's reasons for ending a connection or refusing a step, in the player's language
// where they are ones he meets; any other is shown as the server said it.
export function reasonText(reason: string): string {
  switch (reason) {
    case 'no such table': return t('Network', 'no table has this code');
    case 'the table is full': return t('Network', 'every chair is taken');
    case 'closed by the host': return t('Network', 'the host closed the table');
    case 'gave up': return t('Network', 'the table could not be reached again');
    case 'too many wrong codes': return t('Network', 'too many wrong codes; try again in a minute');
    case 'unknown token': return t('Network', "the table no longer knows this seat's token");
    case 'seat taken back elsewhere': return t('Network', 'your seat was taken back from another connection');
    default: return reason;
  }
}

export function setCatalog(texts: Catalog): void {
  catalog = texts;
}

// texts.json as the build wrote it; the page stays in English until it is read.
export async function loadCatalog(url = 'texts.json', fetcher: typeof fetch = fetch): Promise<void> {
  const response = await fetcher(url);
  if (!response.ok) throw new Error(`${url}: ${response.status}`);
  const data: unknown = await response.json();
  if (typeof data !== 'object' || data === null || Array.isArray(data)) throw new Error(`${url}: not a catalog`);
  const checked: Catalog = {};
  for (const [key, value] of Object.entries(data as Record<string, unknown>)) {
    if (typeof value === 'string' || (Array.isArray(value) && value.every((v) => typeof v === 'string')))
      checked[key] = value as string | string[];
  }
  setCatalog(checked);
  // The page was written before its texts came: it writes them again.
  for (const listener of listeners.slice()) listener(language);
}

export function currentLanguage(): Language {
  return language;
}

// Where the page's choice is kept, and the document it sets: a browser's by default.
export interface LanguageHost {
  storage?: Pick<Storage, 'getItem' | 'setItem'> | null;
  documentElement?: { lang: string; dir: string } | null;
}

function defaultHost(): LanguageHost {
  return {
    storage: typeof localStorage === 'undefined' ? null : localStorage,
    documentElement: typeof document === 'undefined' ? null : document.documentElement,
  };
}

// The language a visitor gets: the one he chose here before, else the first of his browser's
// languages that is Arabic or English, else English.
export function chooseLanguage(preferred: readonly string[], stored: string | null): Language {
  if (stored === 'ar' || stored === 'en') return stored;
  for (const tag of preferred) {
    const primary = tag.toLowerCase().split('-')[0];
    if (primary === 'ar') return 'ar';
    if (primary === 'en') return 'en';
  }
  return 'en';
}

function readStored(host: LanguageHost): string | null {
  try {
    return host.storage?.getItem(STORAGE_KEY) ?? null;
  } catch {
    return null; // storage refused (private browsing): the choice is not kept
  }
}

export function setLanguage(lang: Language, host: LanguageHost = defaultHost(), remember = true): void {
  language = lang;
  if (host.documentElement) {
    host.documentElement.lang = lang;
    host.documentElement.dir = lang === 'ar' ? 'rtl' : 'ltr';
  }
  if (remember) {
    try {
      host.storage?.setItem(STORAGE_KEY, lang);
    } catch {
      // not kept; the page still switches
    }
  }
  for (const listener of listeners.slice()) listener(lang);
}

// Sets the page's language at start from what the visitor chose before or his browser says.
export function startLanguage(preferred: readonly string[], host: LanguageHost = defaultHost()): Language {
  const lang = chooseLanguage(preferred, readStored(host));
  setLanguage(lang, host, false);
  return lang;
}

// Called after every switch of language, so that the page can write its texts again.
export function onLanguageChange(listener: (lang: Language) => void): () => void {
  listeners.push(listener);
  return () => {
    const i = listeners.indexOf(listener);
    if (i >= 0) listeners.splice(i, 1);
  };
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The page's texts: the catalog the build makes from the desktop's translation file, the
// build's refusal of a text the file does not hold, arguments, counts, and the language.

import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { afterEach, describe, expect, it } from 'vitest';
import { buildCatalog, parseTranslations, scanTextCalls, stripSvg } from '../build_lib.mjs';
import {
  arabicPluralForm, chooseLanguage, currentLanguage, fillArguments, loadCatalog, onLanguageChange, reasonText, setCatalog,
  setLanguage, startLanguage, t, tk, tn, withoutMnemonic, type Catalog,
} from '../src/texts';

const here = dirname(fileURLToPath(import.meta.url));
const messages = parseTranslations(readFileSync(join(here, '..', '..', 'translations', 'halbeet_ar.ts'), 'utf8'));

// The catalog the build would write for these calls, made the way the build makes it.
function catalogFor(code: string): { catalog: Catalog; errors: string[] } {
  const scanned = scanTextCalls(code, 'page.ts');
  const built = buildCatalog(messages, scanned.calls);
  return { catalog: built.catalog, errors: [...scanned.errors, ...built.errors] };
}

function inArabic(code: string): void {
  const { catalog, errors } = catalogFor(code);
  expect(errors).toEqual([]);
  setCatalog(catalog);
  setLanguage('ar', { storage: null, documentElement: null });
}

afterEach(() => {
  setCatalog({});
  setLanguage('en', { storage: null, documentElement: null });
});

describe('the catalog from the translation file', () => {
  it('shows the desktop\'s Arabic for the texts the page names, and the English source otherwise', () => {
    inArabic(`t('Access', 'Your turn'); t("Network", "Back at the table."); t('Access', 'clubs')`);
    const arabic = (context: string, source: string) =>
      messages.find((m) => m.context === context && m.source === source)!.translation;
    expect(t('Access', 'Your turn')).toBe(arabic('Access', 'Your turn'));
    expect(t('Network', 'Back at the table.')).toBe(arabic('Network', 'Back at the table.'));
    expect(t('Access', 'clubs')).toMatch(/^[\u0600-\u06ff ]+$/);
    setLanguage('en', { storage: null, documentElement: null });
    expect(t('Access', 'Your turn')).toBe('Your turn');
  });

  it('holds only the texts the page names', () => {
    const { catalog } = catalogFor(`t('Access', 'clubs')`);
    expect(Object.keys(catalog)).toEqual(['Access\u0004clubs']);
  });

  it.each([
    ['a text the file does not hold', `t('Access', 'Your tunr')`, /'Your tunr'.* is not a text of translations/],
    ['a text of another context', `t('Network', 'clubs')`, /is not a text/],
    ['a text not written out', `t('Access', name)`, /page.ts:1: t\(\) needs its texts written out/],
    ['a text built from pieces', 't(`Access`, `${x}`)', /needs its texts written out/],
    ['a count named as a plain text', `t('Access', '%n card(s)')`, /is a count text \(use tn\)/],
    ['a plain text named as a count', `tn('Access', 'clubs', 3)`, /not a count text \(use t\)/],
    ['a key the text does not have', `tk('Access', '%1: %2', 'nonsense')`, /is not a text/],
    ['a text of the page in a context of its own', `t('Page', 'Hello')`, /is not a text/],
  ])('stops the build for %s', (_what, code, error) => {
    const { errors } = catalogFor(code);
    expect(errors.join('\n')).toMatch(error);
  });

  it('asks for the key where one source has several translations, and tells them apart by it', () => {
    const twice = parseTranslations(`<TS><context><name>Access</name>
      <message><source>%1: %2</source><comment>played</comment><translation>لعب %1: %2</translation></message>
      <message><source>%1: %2</source><comment>score</comment><translation>نتيجة %1: %2</translation></message>
      </context></TS>`);
    const plain = buildCatalog(twice, scanTextCalls(`t('Access', '%1: %2', a, b)`, 'page.ts').calls);
    expect(plain.errors.join('\n')).toMatch(/several translations; name it with its key: tk\('Access', '%1: %2', 'played'\)/);
    const keyed = buildCatalog(twice, scanTextCalls(`tk('Access', '%1: %2', 'played'); tk('Access', '%1: %2', 'score')`, 'page.ts').calls);
    expect(keyed.errors).toEqual([]);
    setCatalog(keyed.catalog);
    setLanguage('ar', { storage: null, documentElement: null });
    expect([tk('Access', '%1: %2', 'played', 'Ann', 'x'), tk('Access', '%1: %2', 'score', 'Ann', 3)])
      .toEqual(['لعب Ann: x', 'نتيجة Ann: 3']);
  });

  it('finds calls in comments and across lines, not methods of other objects or the definitions', () => {
    const { calls, errors } = scanTextCalls([
      '// t(\'Access\', \'Your turn\')',
      'const x = t(',
      "  'Access',",
      "  'clubs', seat);",
      'other.t(anything); format(t2); function t(context, source) {}',
      '// words about t(context, source) in a comment',
      "const url = 'http://host/'; t('Access', 'Ace'); /* t(a, b) */",
    ].join('\n'), 'page.ts');
    expect(errors).toEqual([]);
    expect(calls.map((c: { source: string }) => c.source)).toEqual(['Your turn', 'clubs', 'Ace']);
  });

  it('reads the XML escapes of the file', () => {
    const parsed = parseTranslations(`<TS><context><name>A&amp;B</name><message><source>&lt;b&gt; &amp;Ok &quot;x&quot; &#x41;</source>
      <comment>k</comment><translation>&apos;y&apos;</translation></message>
      <message><source>gone</source><translation type="vanished">old</translation></message>
      <message><source>later</source><translation type="unfinished"></translation></message></context></TS>`);
    expect(parsed).toEqual([
      { context: 'A&B', source: '<b> &Ok "x" A', comment: 'k', numerus: false, translation: "'y'" },
      { context: 'A&B', source: 'later', comment: '', numerus: false, translation: null },
    ]);
  });
});

describe('arguments and counts', () => {
  it.each([
    ['%1 plays %2', ['Ann', 'the ace'], 'Ann plays the ace'],
    ['%2 before %1', ['a', 'b'], 'b before a'],
    // A name holding "%2" stays as it was typed.
    ['%1 bids %2', ['%2', 14], '%2 bids 14'],
    ['%1 of %2', ['x'], 'x of %2'],
    ['100%', [], '100%'],
  ])('%s', (text, args, shown) => {
    expect(fillArguments(text, args as (string | number)[])).toBe(shown);
  });

  it('counts in English with the singular for one', () => {
    expect([0, 1, 2, 13].map((n) => tn('Access', '%n trick(s)', n))).toEqual(['0 tricks', '1 trick', '2 tricks', '13 tricks']);
  });

  it('counts in Arabic with the form for the number', () => {
    inArabic(`tn('Access', '%n card(s)', n)`);
    expect([0, 1, 2, 3, 10, 11, 13].map((n) => tn('Access', '%n card(s)', n)))
      .toEqual(['لا أوراق', 'ورقة واحدة', 'ورقتان', '3 أوراق', '10 أوراق', '11 ورقة', '13 ورقة']);
  });

  it.each([[0, 0], [1, 1], [2, 2], [3, 3], [10, 3], [11, 4], [99, 4], [100, 5], [102, 5], [103, 3], [111, 4]])(
    'Arabic plural form of %i is %i', (n, form) => {
      expect(arabicPluralForm(n)).toBe(form);
    });

  it.each([['&Start the game', 'Start the game'], ['Save && go', 'Save & go'], ['Ok', 'Ok']])(
    'shows %s without its mnemonic', (text, shown) => {
      expect(withoutMnemonic(text)).toBe(shown);
    });

  it('words the server\'s reasons the player meets, and shows others as said', () => {
    expect(reasonText('the table is full')).toBe('every chair is taken');
    expect(reasonText('something new')).toBe('something new');
  });
});

describe('the language', () => {
  it.each<[string, string[], string | null, 'ar' | 'en']>([
    ['an Arabic browser', ['ar-SA', 'en'], null, 'ar'],
    ['an English browser', ['en-GB', 'ar'], null, 'en'],
    ['a browser in neither', ['fr-FR', 'ar-EG'], null, 'ar'],
    ['a browser in none of them', ['fr-FR'], null, 'en'],
    ['a choice made here before', ['ar'], 'en', 'en'],
    ['a kept value that is no language', ['ar'], 'de', 'ar'],
  ])('%s', (_who, preferred, stored, lang) => {
    expect(chooseLanguage(preferred, stored)).toBe(lang);
  });

  it('sets the document\'s language and direction, keeps a switch, and tells the page', () => {
    const items = new Map<string, string>();
    const storage = { getItem: (k: string) => items.get(k) ?? null, setItem: (k: string, v: string) => void items.set(k, v) };
    const root = { lang: '', dir: '' };
    const heard: string[] = [];
    const stop = onLanguageChange((lang) => heard.push(lang));
    expect(startLanguage(['ar-AE'], { storage, documentElement: root })).toBe('ar');
    expect(root).toEqual({ lang: 'ar', dir: 'rtl' });
    // Chosen by the browser, not by the player: nothing kept.
    expect(items.size).toBe(0);
    setLanguage('en', { storage, documentElement: root });
    expect(root).toEqual({ lang: 'en', dir: 'ltr' });
    expect(items.get('halbeet.language')).toBe('en');
    expect(startLanguage(['ar'], { storage, documentElement: root })).toBe('en');
    stop();
    setLanguage('ar', { storage, documentElement: root });
    expect(heard).toEqual(['ar', 'en', 'en']);
    expect(currentLanguage()).toBe('ar');
  });

  it('works on where the browser refuses to keep anything', () => {
    const storage = { getItem: () => { throw new Error('denied'); }, setItem: () => { throw new Error('denied'); } };
    expect(startLanguage(['ar'], { storage, documentElement: null })).toBe('ar');
    expect(() => setLanguage('en', { storage, documentElement: null })).not.toThrow();
  });
});

describe('loading the catalog', () => {
  const answer = (status: number, body: unknown) => () =>
    Promise.resolve(new Response(JSON.stringify(body), { status })) as ReturnType<typeof fetch>;

  it('takes the texts and has the page write itself again', async () => {
    setLanguage('ar', { storage: null, documentElement: null });
    const heard: string[] = [];
    const stop = onLanguageChange((lang) => heard.push(lang));
    await loadCatalog('texts.json', answer(200, { 'Access\u0004Your turn': 'دورك', 'Access\u0004%n card(s)': ['a', 'b'], bad: 3 }));
    stop();
    expect(heard).toEqual(['ar']);
    expect(t('Access', 'Your turn')).toBe('دورك');
    expect(tn('Access', '%n card(s)', 1)).toBe('b');
  });

  it.each([
    ['a missing file', answer(404, {})],
    ['a file that is no catalog', answer(200, ['x'])],
  ])('fails on %s and stays in English', async (_what, fetcher) => {
    await expect(loadCatalog('texts.json', fetcher)).rejects.toThrow();
    setLanguage('ar', { storage: null, documentElement: null });
    expect(t('Access', 'Your turn')).toBe('Your turn');
  });
});

describe('the deck', () => {
  it('loses the editor\'s metadata and comments but keeps the drawing', () => {
    const svg = `<?xml version="1.0"?>
<!-- Created with an editor -->
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
   xmlns:sodipodi="http://sodipodi" xmlns:inkscape="http://inkscape" xmlns:dc="http://dc"
   sodipodi:docname="white.svgz" inkscape:version="0.43" width="10">
  <metadata id="m"><rdf:RDF><dc:format>image/svg+xml</dc:format></rdf:RDF></metadata>
  <sodipodi:namedview id="base" pagecolor="#fff"><inkscape:grid/></sodipodi:namedview>
  <sodipodi:guide id="g"/>
  <g id="1_club" inkscape:label="ace"><use xlink:href="#x"/><path d="M 0,0
     L 1,1"/></g>
</svg>`;
    expect(stripSvg(svg)).toBe('<?xml version="1.0"?><svg xmlns="http://www.w3.org/2000/svg" ' +
      'xmlns:xlink="http://www.w3.org/1999/xlink" width="10"><g id="1_club"><use xlink:href="#x"/>' +
      '<path d="M 0,0 L 1,1"/></g></svg>');
  });
});

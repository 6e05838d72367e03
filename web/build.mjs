// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the page into OUTDIR: the bundled script, the page and its style, the card deck, the
// texts it shows, and a compressed copy of each for the server to send as they are.
//   node build.mjs OUTDIR [--deck FILE] [--translations FILE]

import { build } from 'esbuild';
import { existsSync, mkdirSync, readdirSync, readFileSync, statSync, writeFileSync, renameSync } from 'node:fs';
import { dirname, join, relative, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gunzipSync, gzipSync, constants } from 'node:zlib';
import { buildCatalog, parseTranslations, scanTextCalls, stripSvg } from './build_lib.mjs';

const here = dirname(fileURLToPath(import.meta.url));
// What one page load may cost a phone on a slow line, all files compressed.
const MAX_COMPRESSED_BYTES = 300 * 1024;

function fail(message) {
  console.error(`web build: ${message}`);
  process.exit(1);
}

function option(name, fallback) {
  const i = process.argv.indexOf(name);
  return i > 0 && process.argv[i + 1] ? process.argv[i + 1] : fallback;
}

const outDir = process.argv[2] && !process.argv[2].startsWith('--') ? resolve(process.argv[2]) : null;
if (!outDir) fail('usage: node build.mjs OUTDIR [--deck FILE] [--translations FILE]');
const deckFile = option('--deck', '/usr/share/carddecks/svg-nicu-white/white.svgz');
const translationsFile = option('--translations', join(here, '..', 'translations', 'halbeet_ar.ts'));
mkdirSync(outDir, { recursive: true });

// Written beside, then renamed: a build stopped half-way leaves no half file behind.
function writeOut(name, data) {
  const path = join(outDir, name);
  writeFileSync(`${path}.part`, data);
  renameSync(`${path}.part`, path);
}

function sourceFiles(dir) {
  const files = [];
  for (const entry of readdirSync(dir)) {
    const path = join(dir, entry);
    if (statSync(path).isDirectory()) files.push(...sourceFiles(path));
    // Tests beside the code are not the page: they may name texts that are not there.
    else if (/\.(ts|mts|js|mjs)$/.test(entry) && !/\.test\.[mc]?[jt]s$/.test(entry)) files.push(path);
  }
  return files.sort();
}

// ---- the texts (those of the page's own files) --------------------------------------------------------------------------------
const calls = [];
const errors = [];
for (const file of sourceFiles(join(here, 'src'))) {
  const found = scanTextCalls(readFileSync(file, 'utf8'), relative(join(here, '..'), file));
  calls.push(...found.calls);
  errors.push(...found.errors);
}
const catalogResult = buildCatalog(parseTranslations(readFileSync(translationsFile, 'utf8')), calls);
errors.push(...catalogResult.errors);
if (errors.length > 0) fail(`the page's texts do not match the translation file:\n  ${errors.join('\n  ')}`);
writeOut('texts.json', JSON.stringify(catalogResult.catalog));

// ---- the script -------------------------------------------------------------------------------
const bundle = await build({
  entryPoints: [join(here, 'src', 'main.ts')],
  bundle: true,
  minify: true,
  format: 'esm',
  target: 'es2020',
  sourcemap: false,
  legalComments: 'none',
  write: false,
  logLevel: 'warning',
});
writeOut('app.js', bundle.outputFiles[0].contents);

// ---- the page, its style, the deck ------------------------------------------------------------
// Until the table's own page and style exist, the least that loads the script.
const placeholders = {
  'index.html': '<!doctype html>\n<html><head><meta charset="utf-8">' +
    '<meta name="viewport" content="width=device-width, initial-scale=1">' +
    '<link rel="stylesheet" href="app.css"><script type="module" src="app.js"></script></head>' +
    '<body><main id="table"></main></body></html>\n',
  'app.css': 'body { margin: 0; background: #0b5d2a; color: #fff; font-family: sans-serif; }\n',
};
for (const name of ['index.html', 'app.css']) {
  const source = join(here, name);
  writeOut(name, existsSync(source) ? readFileSync(source) : placeholders[name]);
}
let deck = readFileSync(deckFile);
if (deck[0] === 0x1f && deck[1] === 0x8b) deck = gunzipSync(deck);
writeOut('deck.svg', stripSvg(deck.toString('utf8')));

// ---- compressed copies, and what it all weighs ------------------------------------------------
// zlib's deflate at its best, in a gzip wrapper: what a browser takes as Content-Encoding: gzip.
let total = 0;
let rawTotal = 0;
const rows = [];
for (const name of ['index.html', 'app.js', 'app.css', 'deck.svg', 'texts.json']) {
  const raw = readFileSync(join(outDir, name));
  const packed = gzipSync(raw, { level: constants.Z_BEST_COMPRESSION });
  writeOut(`${name}.gz`, packed);
  total += packed.length;
  rawTotal += raw.length;
  rows.push(`  ${name.padEnd(11)} ${String(raw.length).padStart(9)} ${String(packed.length).padStart(9)}`);
}
console.log(`web build: ${outDir}\n  file              raw      gzip\n${rows.join('\n')}\n` +
  `  ${'total'.padEnd(11)} ${String(rawTotal).padStart(9)} ${String(total).padStart(9)}`);
if (total > MAX_COMPRESSED_BYTES)
  fail(`the page weighs ${total} bytes compressed, over the ${MAX_COMPRESSED_BYTES} it may`);

// SPDX-License-Identifier: GPL-3.0-or-later
// The browsers' side of browser_game.sh: two friends' pages in headless Chromium at a desktop
// host's table, found by its announcement on the local network. Writes "seated", then "done" or
// "failed" to the status file; screenshots and figures go to the output folder.
//
// Usage: node browser_game.mjs <output dir> <status file>
// Environment: HALBEET_WEB_MODULES (the page's node_modules), HALBEET_CHROMIUM.

import { spawnSync } from 'node:child_process';
import dgram from 'node:dgram';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.join(process.env.HALBEET_WEB_MODULES, 'x.js'));
const { chromium } = require('playwright-core');
const axeSource = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

const [out, statusFile] = process.argv.slice(2);
const say = (line) => fs.appendFileSync(statusFile, `${line}\n`);
const figures = [];
const figure = (line) => {
  figures.push(line);
  console.log(`FIGURE ${line}`);
};
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const check = (condition, what) => {
  if (!condition) throw new Error(what);
};

// What the page offers a player's hands and a test's eyes.
const SEL = {
  nameInput: '[data-test="name-input"]',
  nameOk: '[data-test="name-ok"]',
  seated: '#table[data-connection="open"] [data-test="name-bottom"]',
  bid: '[data-test="bid-button"]:not([disabled])',
  bidOk: '[data-test="bid-ok"]',
  handCard: '[data-test="hand-card"]',
  playable: '[data-test="hand-card"].playable',
  notPlayable: '[data-test="hand-card"]:not(.playable)',
  trickCard: '[data-test="trick-card"]',
  refusal: '[data-test="warning"]',
  scoreSheet: 'dialog[data-test="scores"][open][data-after-deal="true"]',
  scoreSheetOk: 'dialog[data-test="scores"][open] [data-test="scores-ok"]',
  notice: 'dialog[data-test="notice"][open]',
  sheetRows: 'dialog[data-test="scores"][open] [data-test="score-sheet"]',
};

// ---- the table, as the host announces it -----------------------------------------------------

function heardTable(limitMs) {
  return new Promise((resolve, reject) => {
    const socket = dgram.createSocket({ type: 'udp4', reuseAddr: true });
    const timer = setTimeout(() => {
      socket.close();
      reject(new Error(`no table was announced within ${limitMs} ms`));
    }, limitMs);
    socket.on('message', (data, from) => {
      let what;
      try {
        what = JSON.parse(data.toString('utf8'));
      } catch {
        return;
      }
      if (typeof what.code !== 'string' || !Number.isInteger(what.port)) return;
      clearTimeout(timer);
      socket.close();
      resolve({ host: from.address, port: what.port, code: what.code, openChairs: what.openChairs });
    });
    socket.bind(4142);
  });
}

// ---- browsers and pages ----------------------------------------------------------------------

// Each browser carries a mark of its own on its command line, to find its processes by.
async function launch(mark) {
  const browser = await chromium.launch({
    executablePath: process.env.HALBEET_CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync', `--halbeet-e2e=${mark}`],
  });
  browser.mark = mark;
  return browser;
}

// The pid of the browser started with a mark (the one whose parent does not carry it).
function browserPid(mark) {
  const marked = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      if (!fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8').split('\0').includes(`--halbeet-e2e=${mark}`)) continue;
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      marked.set(Number(entry), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
    } catch {
      // gone meanwhile
    }
  }
  for (const [pid, parent] of marked) if (!marked.has(parent)) return pid;
  throw new Error(`no browser process carries the mark ${mark}`);
}

// Every request a page makes, to check that none leaves the table's origin, and every breach of
// its content security policy or error of its script.
function watch(page, origin, seat) {
  seat.foreign = [];
  seat.breaches = [];
  page.on('request', (request) => {
    const url = new URL(request.url());
    if (url.protocol === 'data:') return;
    if (`http://${url.host}` !== origin) seat.foreign.push(request.url());
  });
  page.on('websocket', (ws) => {
    const url = new URL(ws.url());
    if (`http://${url.host}` !== origin) seat.foreign.push(ws.url());
  });
  page.on('console', (message) => {
    if (/Content Security Policy|Refused to/i.test(message.text())) seat.breaches.push(message.text());
  });
  page.on('pageerror', (error) => seat.breaches.push(`script error: ${error.message}`));
}

async function openSeat(browser, options, link, name) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  const seat = { name, page, context, browser, sheets: 0, done: false };
  watch(page, new URL(link).origin, seat);
  const start = Date.now();
  await page.goto(link);
  await page.waitForSelector(SEL.nameInput, { timeout: 15000 });
  seat.toNamePrompt = Date.now() - start;
  await page.fill(SEL.nameInput, name);
  await page.click(SEL.nameOk);
  await page.waitForSelector(SEL.seated, { timeout: 15000 });
  return seat;
}

// A returning friend: the page opened again, the name and token kept by the browser, until his
// table is shown; once as is, once through a slow link (1.6 Mbit/s, 150 ms each way).
async function timeToTable(seat) {
  const timed = async () => {
    const start = Date.now();
    await seat.page.reload();
    await seat.page.waitForSelector(SEL.seated, { timeout: 30000 });
    return Date.now() - start;
  };
  const local = [];
  for (let k = 0; k < 3; ++k) local.push(await timed());
  local.sort((a, b) => a - b);
  figure(`time from opening the link to the table shown, local server: ${local.join(', ')} ms (median ${local[1]})`);
  const cdp = await seat.context.newCDPSession(seat.page);
  await cdp.send('Network.enable');
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  await cdp.send('Network.emulateNetworkConditions', {
    offline: false, latency: 150, downloadThroughput: 1.6e6 / 8, uploadThroughput: 1.6e6 / 8,
  });
  const slow = await timed();
  figure(`time to the table over 1.6 Mbit/s with 150 ms delay, nothing cached: ${slow} ms`);
  await cdp.send('Network.emulateNetworkConditions', {
    offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1,
  });
  await cdp.send('Network.setCacheDisabled', { cacheDisabled: false });
  await cdp.detach();
}

async function checkAccessibility(seat, what) {
  await seat.page.evaluate(axeSource);
  const result = await seat.page.evaluate(async () =>
    // eslint-disable-next-line no-undef
    axe.run(document, { runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'] } }));
  const problems = result.violations.map((v) =>
    `${v.id} (${v.impact}): ${v.help}: ${v.nodes.slice(0, 3).map((n) => n.target.join(' ')).join('; ')}`);
  console.log(`axe, ${seat.name}, ${what}: ${result.passes.length} rules passed, ${result.violations.length} violated`);
  check(problems.length === 0, `accessibility violations on ${seat.name}'s page (${what}):\n  ${problems.join('\n  ')}`);
  // Every card and control named.
  const unnamed = await seat.page.evaluate(() => {
    const names = [];
    for (const el of document.querySelectorAll('button, input, [role="button"], [data-test="hand-card"], [data-test="trick-card"]')) {
      if (el.closest('[hidden], [aria-hidden="true"]')) continue;
      const label = el.getAttribute('aria-label') || el.textContent.trim() || el.getAttribute('title') ||
        (el.labels && el.labels.length ? el.labels[0].textContent.trim() : '');
      if (!label) names.push(el.outerHTML.slice(0, 120));
    }
    return names;
  });
  check(unnamed.length === 0, `unnamed controls on ${seat.name}'s page: ${unnamed.join(' | ')}`);
}

// A page of another origin on this network tries to open a seat at the table with its code.
async function foreignOriginRefused(browser, table) {
  const server = http.createServer((request, response) => {
    if (request.url === '/try.js') {
      response.writeHead(200, { 'Content-Type': 'text/javascript' });
      response.end(`
        const ws = new WebSocket('ws://${table.host}:${table.port}/', 'halbeet.v1');
        ws.onopen = () => { document.title = 'open';
          ws.send(JSON.stringify({ type: 'hello', version: 1, name: 'Mallory', table: '${table.code}' })); };
        ws.onmessage = (m) => { document.title = 'message ' + String(m.data).slice(0, 40); };
        ws.onclose = () => { if (document.title === 'waiting') document.title = 'refused'; };`);
      return;
    }
    response.writeHead(200, { 'Content-Type': 'text/html' });
    response.end('<!doctype html><title>waiting</title><script src="/try.js"></script>');
  });
  await new Promise((resolve) => server.listen(8088, '127.0.0.1', resolve));
  const context = await browser.newContext();
  const page = await context.newPage();
  try {
    await page.goto('http://127.0.0.1:8088/');
    await page.waitForFunction(() => document.title !== 'waiting', null, { timeout: 10000 });
    const title = await page.title();
    check(title === 'refused', `a page of another origin reached the table: ${title}`);
    console.log('a page of another origin could not open a seat');
  } finally {
    await context.close();
    server.close();
  }
}

// ---- playing -----------------------------------------------------------------------------------

// The pids of a browser and every process under it (its network service holds the sockets).
function processTree(root) {
  const children = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(entry));
    } catch {
      // gone meanwhile
    }
  }
  const all = new Set([root]);
  const queue = [root];
  while (queue.length) for (const child of children.get(queue.shift()) ?? []) if (!all.has(child)) { all.add(child); queue.push(child); }
  return all;
}

// The local ports of a browser's connections to the table.
function tablePorts(browserPid, port) {
  const pids = processTree(browserPid);
  const listing = spawnSync('ss', ['-Htnp', 'state', 'established', `( dport = :${port} )`], { encoding: 'utf8' }).stdout;
  const ports = [];
  for (const line of listing.split('\n')) {
    const owner = /pid=(\d+)/.exec(line);
    const local = /\S+:(\d+)\s+\S+:\d+/.exec(line);
    if (owner && local && pids.has(Number(owner[1]))) ports.push(Number(local[1]));
  }
  return ports;
}

async function cutAndComeBack(seat, table) {
  const pid = browserPid(seat.browser.mark);
  const before = tablePorts(pid, table.port);
  check(before.length === 1, `${seat.name}'s browser holds ${before.length} connections to the table`);
  spawnSync('ss', ['-K', 'state', 'established', `( sport = :${before[0]} and dport = :${table.port} )`]);
  const cutAt = Date.now();
  let after = [];
  while (Date.now() - cutAt < 20000) {
    after = tablePorts(pid, table.port);
    if (after.length === 1 && after[0] !== before[0]) break;
    await sleep(100);
  }
  if (after.length === 1 && after[0] === before[0]) {
    console.log('NOTE: ss cannot close a connection here; the cut is left out');
    return;
  }
  check(after.length === 1 && after[0] !== before[0], `${seat.name}'s page did not come back after its connection was cut`);
  figure(`${seat.name}'s page back at the table ${Date.now() - cutAt} ms after its connection was cut`);
  await seat.page.screenshot({ path: `${out}/browser_game-${seat.name}-back.png` });
}

// The cards on the table as a page shows them, by their faces.
const trickOf = (seat) => seat.page.$$eval(SEL.trickCard, (cards) => cards.map((c) => c.dataset.card).sort().join(' '));

// The latest row of the score sheet a page shows, by the players' names (a computer's name is
// in the page's language: the numbers alone are compared for it).
const sheetByName = (page) => page.$eval(SEL.sheetRows, (table) => {
  const names = [...table.querySelectorAll('thead th')].map((th) => th.textContent.trim());
  const rows = table.querySelectorAll('tbody tr');
  const last = rows.length ? [...rows[rows.length - 1].querySelectorAll('td')] : [];
  const digits = (text) => text.replace(/[\u0660-\u0669]/g, (d) => String(d.charCodeAt(0) - 0x660)).replace(/[^0-9-]/g, '');
  return names.map((name, i) => `${/^[\p{L} ]+$/u.test(name) && !/Expert|Classic|خبير|عادي/.test(name) ? name : 'computer'}=${digits(last[i]?.textContent ?? '')}`).sort().join(' ');
});

// One look at a page: close a score sheet, bid, or play a card when asked.
async function step(seat) {
  const page = seat.page;
  const quick = { timeout: 2000 };
  if (await page.$(SEL.scoreSheet)) {
    await page.screenshot({ path: `${out}/browser_game-${seat.name}-score-sheet.png` });
    seat.sheet = await sheetByName(page);
    ++seat.sheets;
    seat.done = true;
    if (seat.touch) await page.locator(SEL.scoreSheetOk).tap(quick);
    else await page.keyboard.press('Enter');
    return;
  }
  if (await page.$(`${SEL.notice} button`)) {
    if (seat.touch) await page.locator(`${SEL.notice} button`).first().tap(quick);
    else await page.keyboard.press('Enter');
    return;
  }
  const bids = await page.$$(SEL.bid);
  if (bids.length) {
    const choice = page.locator(SEL.bid).nth(Math.min(3, bids.length - 1));
    if (seat.touch) {
      await choice.tap(quick);
      await page.locator(SEL.bidOk).tap(quick);
    } else {
      // Keyboard only: the bid takes the focus, Space chooses it, then the button, Enter.
      await choice.focus(quick);
      await page.keyboard.press('Space');
      await page.locator(SEL.bidOk).focus(quick);
      await page.keyboard.press('Enter');
    }
    return;
  }
  if (!(await page.$(SEL.playable))) return;
  if (seat.touch) {
    // A card that may not be played first, when there is one: the page must refuse it.
    if (!seat.triedRefusal && (await page.$(SEL.notPlayable))) {
      seat.triedRefusal = true;
      await page.locator(SEL.notPlayable).first().tap(quick);
      seat.refusalSeen = await page.locator(SEL.refusal).waitFor({ state: 'visible', timeout: 3000 })
        .then(() => true, () => false);
      check(seat.refusalSeen, `${seat.name}'s page did not refuse a card that does not follow suit`);
      await page.screenshot({ path: `${out}/browser_game-${seat.name}-refused.png` });
      return;
    }
    await page.locator(SEL.playable).first().tap(quick);
  } else {
    // Keyboard only: a playable card of the hand takes the focus, Enter plays it.
    await page.locator(SEL.playable).first().focus(quick);
    await page.keyboard.press('Enter');
  }
}

// A step that met the page changing under it (a card gone, a control drawn anew) is tried
// again at the next look; anything else is a failure.
async function tryStep(seat) {
  try {
    await step(seat);
  } catch (error) {
    if (!/not attached|detached|Timeout \d+ms exceeded|Target closed|intercepts pointer/i.test(String(error))) throw error;
    seat.retries = (seat.retries ?? 0) + 1;
  }
}

// The time between frames while a card glides or a trick sweeps (a Web Animation running),
// measured in the page itself.
async function recordGlideFrames(seat) {
  await seat.page.evaluate(() => {
    window.glideFrames = [];
    let last = performance.now();
    const frame = (now) => {
      if (document.getAnimations().some((a) => a.playState === 'running')) window.glideFrames.push(now - last);
      last = now;
      if (window.glideFrames.length < 2000) requestAnimationFrame(frame);
    };
    requestAnimationFrame(frame);
  });
}

async function main() {
  const table = await heardTable(15000);
  const link = `http://${table.host}:${table.port}/#${table.code}`;
  console.log(`table ${table.code} heard at ${table.host}:${table.port}; link ${link}`);

  const browsers = [await launch('nadia'), await launch('karim')];
  try {
    const nadia = await openSeat(browsers[0], { locale: 'en-GB', viewport: { width: 1280, height: 800 } }, link, 'Nadia');
    figure(`time from opening the link to the name prompt, first visit: ${nadia.toNamePrompt} ms`);
    await nadia.page.screenshot({ path: `${out}/browser_game-Nadia-seated.png` });
    await foreignOriginRefused(browsers[1], table);
    await timeToTable(nadia);

    const karim = await openSeat(browsers[1], {
      locale: 'ar', viewport: { width: 360, height: 740 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
    }, link, 'كريم');
    karim.name = 'Karim';
    karim.touch = true;
    check(await karim.page.evaluate(() => document.documentElement.dir) === 'rtl', "Karim's Arabic page is not right to left");
    await karim.page.screenshot({ path: `${out}/browser_game-Karim-seated.png` });
    await checkAccessibility(nadia, 'seated, English, desktop');
    await checkAccessibility(karim, 'seated, Arabic, phone');
    for (const s of [nadia, karim])
      check(!(await s.page.$('[data-test="start"]')), `${s.name}'s page offers to start a game only the host may start`);
    // A chat line that looks like markup arrives as the same text, and nothing of it is made.
    const line = '<img src=x data-test=injected> مرحبا';
    await karim.page.locator('[data-test="chat-input"]').fill(line);
    await karim.page.locator('[data-test="chat-send"]').tap();
    await nadia.page.waitForFunction((text) => document.querySelector('[data-test="chat-log"]')?.textContent.includes(text),
      line, { timeout: 10000 });
    check(!(await nadia.page.$('[data-test="chat-log"] img, [data-test="injected"]')), "a chat line became markup on Nadia's page");
    say('seated');

    const seats = [nadia, karim];
    await Promise.all(seats.map((s) => s.page.waitForSelector(SEL.handCard, { timeout: 30000 })));
    for (const s of seats) await s.page.screenshot({ path: `${out}/browser_game-${s.name}-dealt.png` });
    await checkAccessibility(nadia, 'dealt, English, desktop');
    await checkAccessibility(karim, 'dealt, Arabic, phone');

    let cut = false;
    let framesAsked = false;
    const deadline = Date.now() + 280000;
    while (!seats.every((s) => s.done)) {
      check(Date.now() < deadline, 'the pages did not see the deal scored in time');
      for (const s of seats) if (!s.done) await tryStep(s);
      const onTable = (await trickOf(nadia)).split(' ').filter(Boolean).length;
      if (!framesAsked) {
        framesAsked = true;
        await recordGlideFrames(nadia);
      }
      if (!cut && onTable >= 1 && onTable <= 3 && (await nadia.page.$$(SEL.handCard)).length <= 11) {
        cut = true;
        await cutAndComeBack(karim, table);
        // Back, Karim's page comes to show the trick as Nadia's does. Each page shows the steps
        // at its own pace (a glide, a sweep), so they are compared until they agree: the game
        // waits for the next card of either page, which neither plays meanwhile.
        let [a, b] = ['', ''];
        for (const until = Date.now() + 15000; Date.now() < until; await sleep(200)) {
          [a, b] = [await trickOf(nadia), await trickOf(karim)];
          if (a === b) break;
        }
        check(a === b, `after coming back Karim's page shows the trick "${b}", Nadia's "${a}"`);
      }
      await sleep(150);
    }
    check(cut, 'the deal ended before a trick was in the middle of being played');
    const frames = await nadia.page.evaluate(() => window.glideFrames ?? []);
    check(frames.length > 10, `only ${frames.length} frames were drawn while cards glided on Nadia's page`);
    {
      const sorted = frames.slice(1).sort((x, y) => x - y);
      const at = (q) => sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))].toFixed(1);
      figure(`frame time while cards glide and sweep (${sorted.length} frames, headless Chromium, software rendering): median ${at(0.5)} ms, 95th percentile ${at(0.95)} ms, longest ${sorted[sorted.length - 1].toFixed(1)} ms`);
    }
    check(nadia.sheet === karim.sheet, `the two pages show different scores: ${nadia.sheet} and ${karim.sheet}`);
    console.log(`the deal's scores on both pages: ${nadia.sheet}`);
    for (const s of seats) {
      check(s.foreign.length === 0, `${s.name}'s page asked another origin: ${s.foreign.join(', ')}`);
      check(s.breaches.length === 0, `${s.name}'s page: ${s.breaches.join(' | ')}`);
    }
    fs.writeFileSync(`${out}/browser_game.txt`, `${figures.join('\n')}\n`);
    say('done');
  } finally {
    await Promise.all(browsers.map((b) => b.close().catch(() => {})));
  }
}

const watchdog = setTimeout(() => {
  console.error('FAIL: the browsers took longer than 420 s');
  say('failed');
  process.exit(1);
}, 420000);
main().then(() => {
  clearTimeout(watchdog);
  process.exit(0);
}, (error) => {
  console.error(`FAIL: ${error.stack ?? error}`);
  say('failed');
  process.exit(1);
});

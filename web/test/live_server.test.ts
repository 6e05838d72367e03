// SPDX-License-Identifier: GPL-3.0-or-later
// The page's connection against the real server of tables on the loopback address: what the
// page says must be what the server reads (hello, bids, cards, chat, leave), and a whole deal
// must come through with nothing dropped. A raw socket is the host; two computers fill the
// other chairs.

import { spawn, type ChildProcess } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { afterAll, beforeAll, expect, it } from 'vitest';
import { connect, type SocketFactory } from '../src/connection';
import type { StepKind } from '../src/model';

const serverProgram = process.env.HALBEET_SERVER;
let server: ChildProcess | null = null;
let stateDir = '';
let port = 0;

beforeAll(async () => {
  if (!serverProgram) throw new Error('HALBEET_SERVER names no server program: run these tests through `ctest -R web.unit`');
  if (typeof WebSocket === 'undefined') throw new Error('no WebSocket in this Node.js: run it with --experimental-websocket');
  stateDir = mkdtempSync(join(tmpdir(), 'halbeet-web-live-'));
  const child = spawn(serverProgram, ['--listen', '127.0.0.1', '--port', '0', '--state-dir', stateDir],
    { stdio: ['ignore', 'ignore', 'pipe'] });
  server = child;
  port = await new Promise<number>((resolve, reject) => {
    let log = '';
    child.stderr!.on('data', (data: Buffer) => {
      log += data.toString();
      const found = /listening on 127\.0\.0\.1:(\d+)/.exec(log);
      if (found) resolve(Number(found[1]));
    });
    child.on('exit', (code) => reject(new Error(`the server ended (${code}): ${log}`)));
    setTimeout(() => reject(new Error(`the server did not say where it listens: ${log}`)), 10000);
  });
});

afterAll(() => {
  server?.kill('SIGTERM');
  if (stateDir) rmSync(stateDir, { recursive: true, force: true });
});

const browserLike: SocketFactory = (url, protocol, on) => {
  const ws = new WebSocket(url, protocol);
  ws.onopen = () => on.open();
  ws.onmessage = (event) => on.message(event.data);
  ws.onclose = () => on.closed();
  return ws;
};

it('plays a whole deal at a real table, the page answering when asked', async () => {
  const url = `ws://127.0.0.1:${port}/`;
  // The host: opens the table, answers his own questions with the first choice.
  const host = new WebSocket(url, 'halbeet.v1');
  const heard: string[] = [];
  const code = await new Promise<string>((resolve) => {
    host.onopen = () => host.send(JSON.stringify({ type: 'hello', version: 1, name: 'Host' }));
    host.onmessage = (e) => {
      const m = JSON.parse(String(e.data)) as { type: string; table?: string; kind?: string; seat?: number;
        text?: string; view?: Record<string, unknown>; change?: Record<string, unknown> };
      if (m.type === 'welcome' && m.table) resolve(m.table);
      if (m.type === 'chat' && m.text) heard.push(m.text);
      if (m.type === 'event' && m.kind === 'Asked' && m.seat === 1) {
        const v = (m.view ?? m.change)!;
        const bids = v.legalBids as number[] | undefined;
        const cards = v.legalCards as number[][] | undefined;
        if (bids) host.send(JSON.stringify({ type: 'bid', bid: bids[0] }));
        else if (cards) host.send(JSON.stringify({ type: 'card', suit: cards[0]![0], rank: cards[0]![1] }));
      }
    };
  });

  const items = new Map<string, string>();
  const storage = { getItem: (k: string) => items.get(k) ?? null, setItem: (k: string, v: string) => void items.set(k, v),
    removeItem: (k: string) => void items.delete(k) };
  const kinds = new Map<StepKind, number>();
  const refusals: string[] = [];
  let ended: (reason: string) => void = () => {};
  const end = new Promise<string>((resolve) => { ended = resolve; });
  let said = false;
  const page = connect({
    welcome: (w) => { if (!w.started) host.send('{"type":"start"}'); },
    step: (s) => {
      kinds.set(s.kind, (kinds.get(s.kind) ?? 0) + 1);
      if (s.kind === 'Asked' && s.view.toAct === s.view.seat) {
        if (s.view.legalBids.length > 0) page.bid(s.view.legalBids[s.view.legalBids.length - 1]!);
        else page.play(s.view.legalCards[0]!);
      }
      if (!said && s.kind === 'BidsPublic') said = page.say('مرحبا "all" <b>');
      if (s.kind === 'DealScored') page.leave();
      page.shown(s.serial);
    },
    chat: () => {},
    refused: (reason) => refusals.push(reason),
    bye: (reason) => ended(reason),
    connection: () => {},
  }, { askName: () => Promise.resolve('سلمى'), url, table: `#${code.toLowerCase()}`, storage, visibility: null,
    socket: browserLike });

  const reason = await Promise.race([end, new Promise<string>((resolve) => setTimeout(() => resolve('timed out'), 60000))]);
  host.close();
  expect(reason).toBe('left');
  expect(refusals).toEqual([]);
  expect(page.ignored).toBe(0);
  expect(heard).toEqual(['مرحبا "all" <b>']);
  // A whole deal, played to its score: the high bids make a deal that is not thrown in.
  expect(kinds.get('CardPlayed')).toBe(52);
  expect(kinds.get('TrickTaken')).toBe(13);
  expect(kinds.get('DealScored')).toBe(1);
  // The page left for good: it forgets the seat's token.
  expect([...items.keys()]).toEqual(['halbeet.name']);
}, 70000);

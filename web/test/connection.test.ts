// SPDX-License-Identifier: GPL-3.0-or-later
// The page's connection against a fake WebSocket and fake clocks: joining, steps handed over
// one at a time, coming back after a drop with the token and the serial held, the waits
// between tries, giving up, and the chat's pace.

import { afterEach, beforeEach, describe, expect, it, vi } from 'vitest';
import {
  ATTEMPT_MS, connect, GIVE_UP_AFTER_MS, tableCodeFromHash, type ConnectOptions, type Connection, type SocketHandlers,
  type SocketLike,
} from '../src/connection';
import type { TableEvents, TableStep } from '../src/model';
import { CODE, event, snapshot, TOKEN, welcome } from './fixtures';

class FakeSocket implements SocketLike {
  sent: Array<Record<string, unknown>> = [];
  closed = false;
  constructor(readonly url: string, readonly protocol: string, private readonly on: SocketHandlers) {}
  send(text: string): void { this.sent.push(JSON.parse(text) as Record<string, unknown>); }
  close(): void { this.closed = true; }
  // The server's side.
  accept(): void { this.on.open(); }
  say(data: unknown): void { this.on.message(data); }
  drop(): void { this.on.closed(); }
}

class FakeStorage {
  items = new Map<string, string>();
  getItem(key: string): string | null { return this.items.get(key) ?? null; }
  setItem(key: string, value: string): void { this.items.set(key, value); }
  removeItem(key: string): void { this.items.delete(key); }
}

class FakeDocument {
  hidden = false;
  private listener: (() => void) | null = null;
  addEventListener(_type: 'visibilitychange', listener: () => void): void { this.listener = listener; }
  show(): void { this.hidden = false; this.listener?.(); }
}

const NEW_TOKEN = 'fedcba9876543210fedcba9876543210';

let sockets: FakeSocket[];
let storage: FakeStorage;
let page: FakeDocument;
let told: Array<[string, unknown]>;
let steps: TableStep[];

function events(): TableEvents {
  return {
    welcome: (w) => told.push(['welcome', w]),
    step: (s) => { steps.push(s); told.push(['step', s.serial]); },
    chat: (seat, text) => told.push(['chat', [seat, text]]),
    refused: (reason) => told.push(['refused', reason]),
    bye: (reason) => told.push(['bye', reason]),
    connection: (state) => told.push(['connection', state]),
  };
}

function join(options: Partial<ConnectOptions> = {}): Connection {
  return connect(events(), {
    askName: () => Promise.resolve('Ann'),
    url: 'ws://127.0.0.1:8080/',
    table: `#${CODE}`,
    storage,
    visibility: page,
    socket: (url, protocol, on) => {
      const socket = new FakeSocket(url, protocol, on);
      sockets.push(socket);
      return socket;
    },
    ...options,
  });
}

const last = () => sockets[sockets.length - 1]!;
const toldOf = (kind: string) => told.filter(([k]) => k === kind).map(([, v]) => v);

// Joined and seated, the table at serial 5.
async function seated(options: Partial<ConnectOptions> = {}): Promise<Connection> {
  storage.setItem('halbeet.name', 'Ann');
  const c = join(options);
  await vi.advanceTimersByTimeAsync(0);
  last().accept();
  last().say(welcome());
  last().say(snapshot(5));
  c.shown(5);
  return c;
}

beforeEach(() => {
  vi.useFakeTimers();
  sockets = [];
  storage = new FakeStorage();
  page = new FakeDocument();
  told = [];
  steps = [];
});
afterEach(() => {
  vi.useRealTimers();
});

describe('joining', () => {
  it('says hello to the table the address names, with the name kept, and keeps the token it is given', async () => {
    storage.setItem('halbeet.name', 'سلمى');
    join({ table: `#${CODE.toLowerCase()}` });
    await vi.advanceTimersByTimeAsync(0);
    expect(last().url).toBe('ws://127.0.0.1:8080/');
    expect(last().protocol).toBe('halbeet.v1');
    last().accept();
    expect(last().sent).toEqual([{ type: 'hello', version: 1, name: 'سلمى', table: CODE }]);
    last().say(welcome());
    expect(storage.getItem(`halbeet.token.${CODE}`)).toBe(TOKEN);
    expect(toldOf('connection')).toEqual(['connecting', 'open']);
    // A page joins by code and is never the table's host: it must not offer Start.
    expect(toldOf('welcome')).toEqual([{ seat: 1, table: CODE, names: ['Ann', 'سلمى', '', 'Expert'],
      chairs: ['person', 'person', 'open', 'computer'], started: true, host: false }]);
  });

  it('asks for a name until it gets one, and keeps it', async () => {
    const answers = ['', '   ', 'a'.repeat(25), 'Bo'];
    join({ askName: () => Promise.resolve(answers.shift()!) });
    await vi.advanceTimersByTimeAsync(0);
    last().accept();
    expect(last().sent[0]).toMatchObject({ name: 'Bo' });
    expect(storage.getItem('halbeet.name')).toBe('Bo');
  });

  it('takes its seat back after a reload with the token kept for this table', async () => {
    storage.setItem('halbeet.name', 'Ann');
    storage.setItem(`halbeet.token.${CODE}`, TOKEN);
    storage.setItem('halbeet.token.ABCDEF', NEW_TOKEN);
    join();
    await vi.advanceTimersByTimeAsync(0);
    last().accept();
    // No table held yet: the whole table, not the steps since.
    expect(last().sent).toEqual([{ type: 'hello', version: 1, name: 'Ann', table: CODE, token: TOKEN }]);
  });

  it('joins afresh when the table no longer knows the token kept from an earlier visit', async () => {
    storage.setItem('halbeet.name', 'Ann');
    storage.setItem(`halbeet.token.${CODE}`, TOKEN);
    join();
    await vi.advanceTimersByTimeAsync(0);
    last().accept();
    last().say('{"type":"bye","reason":"unknown token"}');
    expect(sockets).toHaveLength(2);
    expect(storage.getItem(`halbeet.token.${CODE}`)).toBeNull();
    last().accept();
    expect(last().sent).toEqual([{ type: 'hello', version: 1, name: 'Ann', table: CODE }]);
    expect(toldOf('bye')).toEqual([]);
  });

  it.each([
    ['no code', ''],
    ['a code that is none', '#K7QM2'],
    ['a code with letters a code never has', '#K7QM2O'],
  ])('ends at once for an address with %s', async (_what, hash) => {
    join({ table: hash });
    await vi.advanceTimersByTimeAsync(0);
    expect(sockets).toHaveLength(0);
    expect(toldOf('bye')).toEqual(['no such table']);
  });

  it('reads the code however the address writes it', () => {
    expect(tableCodeFromHash('#k7qm2p')).toBe('K7QM2P');
    expect(tableCodeFromHash(' K7QM2P ')).toBe('K7QM2P');
  });

  it('ends when the table cannot be reached at all', async () => {
    await seatedNot();
    last().drop();
    expect(toldOf('bye')).toEqual(['no connection']);
    expect(toldOf('connection').at(-1)).toBe('closed');
    await vi.advanceTimersByTimeAsync(GIVE_UP_AFTER_MS);
    expect(sockets).toHaveLength(1);
  });
});

async function seatedNot(): Promise<void> {
  storage.setItem('halbeet.name', 'Ann');
  join();
  await vi.advanceTimersByTimeAsync(0);
}

describe('steps', () => {
  it('hands the table one step at a time, the next once it has shown the one before', async () => {
    const c = await seated();
    last().say(event(6, 'DealStarted', { change: { phase: 'bidding' } }, { seat: 1, card: [4, 12] }));
    last().say(event(7, 'BidMade', { change: { bidMade: [true, false, false, false] } }, { seat: 2 }));
    last().say(event(7, 'Asked', { change: { legalBids: [2, 3] } }, { seat: 1 }));
    expect(steps.map((s) => s.serial)).toEqual([5, 6]);
    c.shown(5); // late, or twice: changes nothing
    c.shown(7); // not the step shown
    expect(steps.map((s) => s.serial)).toEqual([5, 6]);
    c.shown(6);
    expect(steps.map((s) => [s.serial, s.kind])).toEqual([[5, 'Snapshot'], [6, 'DealStarted'], [7, 'BidMade']]);
    c.shown(7);
    // The question waits like any step, and comes with its choices.
    expect(steps.at(-1)).toMatchObject({ kind: 'Asked', serial: 7, view: { legalBids: [2, 3], phase: 'bidding' } });
    // Each step carries the view after it, not the latest.
    expect(steps[1]!.view.legalBids).toEqual([]);
    expect(steps[1]!.view.bidMade).toEqual([true, true, true, true]);
    expect(steps[2]!.view.bidMade).toEqual([true, false, false, false]);
  });

  it('hands a table that shows steps at once all those waiting, without going deeper each time', async () => {
    storage.setItem('halbeet.name', 'Ann');
    let depth = 0;
    let deepest = 0;
    let holding = true;
    const c: Connection = connect({
      ...events(),
      step: (s) => {
        ++depth;
        deepest = Math.max(deepest, depth);
        steps.push(s);
        if (!holding) c.shown(s.serial);
        --depth;
      },
    }, {
      askName: () => Promise.resolve('Ann'), url: 'ws://127.0.0.1:1/', table: CODE, storage, visibility: page,
      socket: (url, protocol, on) => { const s = new FakeSocket(url, protocol, on); sockets.push(s); return s; },
    });
    await vi.advanceTimersByTimeAsync(0);
    last().accept();
    last().say(welcome());
    last().say(snapshot(5));
    // While the snapshot is being laid out, many steps come.
    for (let serial = 6; serial < 3000; ++serial) last().say(event(serial, 'TrickComplete', { change: {} }));
    expect(steps).toHaveLength(1);
    holding = false;
    c.shown(5);
    expect(steps).toHaveLength(2995);
    expect(deepest).toBe(1);
  });

  it('drops what does not read or fit, counts it, and goes on', async () => {
    const c = await seated();
    const before = steps.length;
    for (const junk of ['nonsense', new ArrayBuffer(4), event(6, 'CardPlayed', { change: { handOut: [4, 1] } }),
      snapshot(6, { seat: 2 }), welcome({ version: 9 })])
      last().say(junk);
    expect(c.ignored).toBe(5);
    expect(steps).toHaveLength(before);
    last().say(event(6, 'TrickComplete', { change: {} }, { seat: 3 }));
    c.shown(5);
    expect(steps.at(-1)?.serial).toBe(6);
  });

  it('takes nothing of a table before the welcome', async () => {
    const c = join();
    await vi.advanceTimersByTimeAsync(0);
    last().accept();
    last().say(snapshot(5));
    last().say('{"type":"chat","seat":2,"text":"hi"}');
    expect(steps).toHaveLength(0);
    expect(toldOf('chat')).toEqual([]);
    expect(c.ignored).toBe(2);
  });

  it('passes chat lines, refusals and changes at the table on', async () => {
    await seated();
    last().say('{"type":"chat","seat":2,"text":"<b>hi</b>"}');
    last().say('{"type":"refused","reason":"not your turn"}');
    last().say(welcome({ token: '', chairs: ['person', 'away', 'open', 'computer'] }));
    expect(toldOf('chat')).toEqual([[2, '<b>hi</b>']]);
    expect(toldOf('refused')).toEqual(['not your turn']);
    expect(toldOf('welcome')).toHaveLength(2);
    // A welcome that only tells of a change keeps the token.
    expect(storage.getItem(`halbeet.token.${CODE}`)).toBe(TOKEN);
  });
});

describe('coming back', () => {
  it('comes back with the newest token and the last step applied, shown or not', async () => {
    await seated();
    last().say(welcome({ token: NEW_TOKEN }));
    last().say(event(6, 'TrickComplete', { change: {} }));
    last().say(event(7, 'TrickTaken', { change: { takersAdded: [2] } }, { seat: 2 }));
    last().drop();
    expect(toldOf('connection').at(-1)).toBe('reconnecting');
    await vi.advanceTimersByTimeAsync(499);
    expect(sockets).toHaveLength(1);
    await vi.advanceTimersByTimeAsync(1);
    expect(sockets).toHaveLength(2);
    last().accept();
    expect(last().sent).toEqual([{ type: 'hello', version: 1, name: 'Ann', table: CODE, token: NEW_TOKEN, since: 7 }]);
    last().say(welcome({ token: TOKEN }));
    expect(toldOf('connection').at(-1)).toBe('open');
    expect(storage.getItem(`halbeet.token.${CODE}`)).toBe(TOKEN);
  });

  it('takes the first whole table of a new connection as it stands, even from a server started again', async () => {
    const c = await seated();
    last().say(event(40, 'TrickComplete', { change: {} }));
    last().say(event(41, 'TrickTaken', { change: { takersAdded: [2] } }, { seat: 2 }));
    last().drop();
    await vi.advanceTimersByTimeAsync(500);
    last().accept();
    last().say(welcome());
    last().say(snapshot(3, { deals: 1 }));
    // Step 40 is being shown; 41, still waiting, is laid over by the snapshot.
    c.shown(40);
    expect(steps.map((s) => [s.serial, s.kind])).toEqual([[5, 'Snapshot'], [40, 'TrickComplete'], [3, 'Snapshot']]);
    expect(steps.at(-1)?.view.deals).toBe(1);
    // Steps go on from the new count.
    c.shown(3);
    last().say(event(4, 'TrickComplete', { change: {} }));
    expect(steps.at(-1)?.serial).toBe(4);
  });

  it('waits twice as long before each try, up to 15 s, and gives up after 90 s', async () => {
    // Tries at 0.5 s, then after 1, 2, 4, 8 and 15 s waits, and 15 s each after; none after 90 s.
    const tries = [500, 1500, 3500, 7500, 15500, 30500, 45500, 60500, 75500];
    await seated();
    last().drop();
    const opened: number[] = [];
    const start = Date.now();
    for (let t = 0; t <= GIVE_UP_AFTER_MS + 30000; t += 100) {
      await vi.advanceTimersByTimeAsync(100);
      if (!last().closed && sockets.length - 1 > opened.length) {
        opened.push(Date.now() - start);
        last().drop(); // refused at once
      }
    }
    expect(opened).toEqual(tries);
    expect(toldOf('bye')).toEqual(['gave up']);
    expect(toldOf('connection').at(-1)).toBe('closed');
  });

  it('gives a try that is never answered up after a while and tries again', async () => {
    await seated();
    last().drop();
    await vi.advanceTimersByTimeAsync(500);
    expect(sockets).toHaveLength(2);
    // The host does not answer at all.
    await vi.advanceTimersByTimeAsync(ATTEMPT_MS);
    expect(last().closed).toBe(true);
    await vi.advanceTimersByTimeAsync(1000);
    expect(sockets).toHaveLength(3);
  });

  it('tries at once when the page is looked at again', async () => {
    await seated();
    last().drop();
    await vi.advanceTimersByTimeAsync(500);
    last().drop();
    await vi.advanceTimersByTimeAsync(100);
    expect(sockets).toHaveLength(2);
    page.show();
    expect(sockets).toHaveLength(3);
    // And once seated it is no reason to open another.
    last().accept();
    last().say(welcome());
    page.show();
    expect(sockets).toHaveLength(3);
  });

  it('does not come back after the server said goodbye', async () => {
    await seated();
    last().say('{"type":"bye","reason":"closed by the host"}');
    last().drop();
    await vi.advanceTimersByTimeAsync(GIVE_UP_AFTER_MS);
    expect(sockets).toHaveLength(1);
    expect(toldOf('bye')).toEqual(['closed by the host']);
  });

  it('leaves for good: says so, closes, forgets the seat', async () => {
    const c = await seated();
    c.leave();
    expect(sockets[0]!.sent.at(-1)).toEqual({ type: 'leave' });
    expect(sockets[0]!.closed).toBe(true);
    expect(storage.getItem(`halbeet.token.${CODE}`)).toBeNull();
    expect(toldOf('bye')).toEqual(['left']);
    c.bid(2);
    await vi.advanceTimersByTimeAsync(GIVE_UP_AFTER_MS);
    expect(sockets).toHaveLength(1);
    expect(sockets[0]!.sent.at(-1)).toEqual({ type: 'leave' });
  });
});

describe('acting and chatting', () => {
  it('sends bids, cards and the start, but nothing the server would cut the connection for', async () => {
    const c = await seated();
    c.bid(14);
    c.bid(7);
    c.play([3, 12]);
    c.play([3, 14]);
    c.start();
    expect(last().sent.slice(1)).toEqual([{ type: 'bid', bid: 14 }, { type: 'bid', bid: 7 },
      { type: 'card', suit: 3, rank: 12 }, { type: 'start' }]);
  });

  it('sends nothing while not seated', async () => {
    const c = await seated();
    last().drop();
    c.bid(3);
    expect(c.say('hello')).toBe(false);
    expect(sockets[0]!.sent).toHaveLength(1);
  });

  it('lets three lines go at once, then one a second', async () => {
    const c = await seated();
    expect([c.say('a'), c.say('b'), c.say('c'), c.say('d')]).toEqual([true, true, true, false]);
    await vi.advanceTimersByTimeAsync(999);
    expect(c.say('e')).toBe(false);
    await vi.advanceTimersByTimeAsync(1);
    expect([c.say('f'), c.say('g')]).toEqual([true, false]);
    await vi.advanceTimersByTimeAsync(60000);
    expect([c.say('h'), c.say('i'), c.say('j'), c.say('k')]).toEqual([true, true, true, false]);
    expect(last().sent.filter((m) => m.type === 'chat').map((m) => m.text)).toEqual(['a', 'b', 'c', 'f', 'h', 'i', 'j']);
  });

  it.each([
    ['empty', ''],
    ['201 characters', 'x'.repeat(201)],
    ['two lines', 'a\nb'],
  ])('does not send a line that is %s, nor count it', async (_what, text) => {
    const c = await seated();
    expect(c.say(text)).toBe(false);
    expect([c.say('a'), c.say('b'), c.say('c')]).toEqual([true, true, true]);
  });
});

// SPDX-License-Identifier: GPL-3.0-or-later
// The page's reader and table against a real table's messages: protocol_trace (tests/net) plays
// a game at a hosted table and writes every message each seat was sent with the desktop
// client's view after it. The page must hold the same view after every one, and must drop
// every hostile variant of them without moving.

import { readFileSync } from 'node:fs';
import { beforeAll, describe, expect, it } from 'vitest';
import type { TableView } from '../src/model';
import { decodeServerMessage, MAX_SERVER_MESSAGE_BYTES } from '../src/protocol';
import { SeatTable } from '../src/seat_table';

interface TraceLine {
  seat: number;
  text: string;
  applied: boolean | null;
  view: Record<string, unknown> | null;
}

const tracePath = process.env.HALBEET_PROTOCOL_TRACE;
let lines: TraceLine[] = [];

beforeAll(() => {
  if (!tracePath) throw new Error('HALBEET_PROTOCOL_TRACE names no trace: run these tests through `ctest -R web.unit`');
  lines = readFileSync(tracePath, 'utf8').split('\n').filter((l) => l !== '').map((l) => JSON.parse(l) as TraceLine);
});

// The desktop's view as the page's: the legal choices are absent from the JSON when empty.
function expected(view: Record<string, unknown>): TableView {
  return { legalBids: [], legalCards: [], ...view } as unknown as TableView;
}

// A seat's client as the page runs it: the first whole view after a welcome that carries a
// token (a new connection) is the table as it stands.
class Client {
  table = new SeatTable();
  fresh = false;

  receive(text: string): { type: string; applied: boolean } | null {
    const m = decodeServerMessage(text);
    if (!m) return null;
    if (m.type === 'welcome') {
      if (m.welcome.token !== '') this.fresh = true;
      return { type: m.type, applied: false };
    }
    if (m.type !== 'event') return { type: m.type, applied: false };
    let applied: boolean;
    if (m.update.whole && this.fresh) {
      const table = new SeatTable();
      applied = table.apply(m.update);
      if (applied) this.table = table;
    } else {
      applied = this.table.apply(m.update);
    }
    this.fresh = false;
    return { type: m.type, applied };
  }
}

function seatLines(seat: number): TraceLine[] {
  return lines.filter((l) => l.seat === seat);
}

describe('a real table, message by message', () => {
  it('has a game in it: every kind of step, a snapshot after coming back, a game won', () => {
    const kinds = new Set(lines.map((l) => JSON.parse(l.text) as { kind?: string }).map((m) => m.kind));
    for (const kind of ['Snapshot', 'NewGame', 'DealStarted', 'BidMade', 'BidsPublic', 'Passed', 'CardPlayed',
      'TrickComplete', 'TrickTaken', 'DealScored', 'GameWon', 'Asked'])
      expect(kinds, kind).toContain(kind);
  });

  it.each([1, 2, 3, 4])('seat %i holds the desktop client\'s view after every message', (seat) => {
    const client = new Client();
    let steps = 0;
    for (const [k, line] of seatLines(seat).entries()) {
      const result = client.receive(line.text);
      expect(result, `message ${k} read: ${line.text.slice(0, 200)}`).not.toBeNull();
      if (line.applied !== null) {
        expect(result!.applied, `message ${k} applied: ${line.text.slice(0, 200)}`).toBe(line.applied);
        ++steps;
      }
      if (line.view) expect(client.table.view, `view after message ${k}: ${line.text.slice(0, 200)}`).toEqual(expected(line.view));
      else expect(client.table.view).toBeNull();
    }
    expect(steps).toBeGreaterThan(1000);
  });

  it('reads the names as they were sent, markup and %-signs included', () => {
    const welcome = decodeServerMessage(lines.find((l) => l.seat === 1 && l.text.includes('"started":true'))!.text);
    expect(welcome?.type).toBe('welcome');
    if (welcome?.type === 'welcome') expect(welcome.welcome.names).toEqual(['Host', 'سلمى', "O'Brien <b>", '%2 & %1']);
    const chat = decodeServerMessage(lines.find((l) => l.text.includes('"chat"'))!.text);
    expect(chat).toEqual({ type: 'chat', seat: 2, text: 'مرحبا "all" <i>&amp;</i>' });
  });
});

// ---- hostile variants -----------------------------------------------------------------------

type Json = Record<string, unknown>;
// What the client holds when the variant comes: its view, its serial, and whether it is on a
// new connection (where the first whole view is taken whatever its serial: a server started
// again counts afresh).
interface Held { view: TableView; serial: number; fresh: boolean }
type Mutation = (m: Json, held: Held) => Json | string | null;

const body = (m: Json) => (m.view ?? m.change) as Json;
const withBody = (m: Json, change: (b: Json) => void): Json => {
  const copy = structuredClone(m);
  change(body(copy));
  return copy;
};

// Each takes a real message and the view held before it, and makes something the page must not
// take (null: the variant does not apply to this message).
const mutations: Array<[string, Mutation]> = [
  ['an unknown field in the message', (m) => ({ ...m, cheat: 1 })],
  ['an unknown field in the view', (m) => withBody(m, (b) => { b.hidden = [[1, 1]]; })],
  ['a serial that is text', (m) => ({ ...m, serial: String(m.serial) })],
  ['a serial going back', (m, held) => (held.serial > 0 && !held.fresh ? { ...m, serial: held.serial - 1 } : null)],
  ['a step again with the serial of the last', (m, held) =>
    (m.kind !== 'Asked' && m.kind !== 'Snapshot' && !held.fresh ? { ...m, serial: held.serial } : null)],
  ['a negative serial', (m) => ({ ...m, serial: -1 })],
  ['a fraction', (m) => withBody(m, (b) => { b.toAct = 1.5; })],
  ['a step of no known kind', (m) => ({ ...m, kind: 'Cheat' })],
  ['a phase of no known name', (m) => withBody(m, (b) => { b.phase = 'dealing'; })],
  ['seat 5', (m) => ({ ...m, seat: 5 })],
  ['a card of no suit', (m) => ({ ...m, card: [5, 1] })],
  ['a card that is not a pair', (m) => ({ ...m, card: [1, 1, 1] })],
  ['a bid too high', (m) => withBody(m, (b) => { b.bids = [0, 0, 0, 27]; })],
  ['three scores', (m) => withBody(m, (b) => { b.scores = [1, 2, 3]; })],
  ['a score far out of any game', (m) => withBody(m, (b) => { b.scores = [0, 0, 0, 2_000_000]; })],
  ['a boolean that is a number', (m) => withBody(m, (b) => { b.passed = 0; })],
  ['no legal bid offered', (m) => withBody(m, (b) => { b.legalBids = []; })],
  ['a hand of 14 cards', (m) => withBody(m, (b) => { b.hand = Array.from({ length: 14 }, (_, k) => [1 + (k % 4), 1 + k % 13]); })],
  ['both a view and a change', (m) => ({ ...m, view: body(m), change: {} })],
  ['neither a view nor a change', (m) => { const c = { ...m }; delete c.view; delete c.change; return c; }],
  ['a change carrying the seat', (m) => (m.change ? withBody(m, (b) => { b.seat = 1; }) : null)],
  ['a whole view missing a field', (m) => (m.view ? withBody(m, (b) => { delete b.deals; }) : null)],
  ['a snapshot as a change', (m) => (m.change ? { ...m, kind: 'Snapshot' } : null)],
  ['a card leaving a hand that does not hold it', (m, { view: held }) => {
    if (!m.change) return null;
    for (let suit = 1; suit <= 4; ++suit)
      for (let rank = 1; rank <= 13; ++rank)
        if (!held.hand.some((c) => c[0] === suit && c[1] === rank))
          return withBody(m, (b) => { delete b.hand; b.handOut = [suit, rank]; });
    return null;
  }],
  ['more cards played than a deal has', (m, { view: held }) => (m.change && held.plays.length > 0
    ? withBody(m, (b) => { delete b.plays; b.playsAdded = Array.from({ length: 53 - held.plays.length }, () => [1, 1, 1]); })
    : null)],
  ['more tricks taken than a deal has', (m, { view: held }) => (m.change
    ? withBody(m, (b) => { delete b.takers; b.takersAdded = Array.from({ length: 14 - held.takers.length }, () => 1); })
    : null)],
  ['nested too deep', (m) => withBody(m, (b) => { b.scoreRows = [[[0, 0, 0, 0]]]; })],
  ['over the size a message may have', (m) => JSON.stringify(m) + ' '.repeat(MAX_SERVER_MESSAGE_BYTES)],
  ['cut short', (m) => JSON.stringify(m).slice(0, -1)],
  ['an array, not an object', (m) => JSON.stringify([m])],
];

describe('hostile variants of real messages are dropped and leave the table as it was', () => {
  it.each(mutations)('%s', (_name, mutate) => {
    let tried = 0;
    for (const seat of [1, 3]) {
      const client = new Client();
      for (const [k, line] of seatLines(seat).entries()) {
        const held = client.table.view;
        const message = JSON.parse(line.text) as Json;
        // Every 37th step of the game and every whole view, once the table holds a view.
        if (held && message.type === 'event' && (k % 37 === 0 || message.view)) {
          const variant = mutate(message, { view: held, serial: client.table.serial, fresh: client.fresh });
          if (variant !== null) {
            ++tried;
            const serial = client.table.serial;
            const text = typeof variant === 'string' ? variant : JSON.stringify(variant);
            const result = client.receive(text);
            expect(result === null || !result.applied, `taken: ${text.slice(0, 300)}`).toBe(true);
            expect(client.table.view).toBe(held);
            expect(client.table.serial).toBe(serial);
          }
        }
        client.receive(line.text);
      }
    }
    // Some variants fit only a whole view, which a game sends only a few times.
    expect(tried).toBeGreaterThan(0);
  });
});

// SPDX-License-Identifier: GPL-3.0-or-later
// The strict reader of the server's messages and the writer of the page's own.

import { describe, expect, it } from 'vitest';
import {
  decodeServerMessage, encodeClientMessage, isAcceptableText, jsonNestingDepth, MAX_SERVER_MESSAGE_BYTES,
  utf8Length, type ClientMessage,
} from '../src/protocol';
import { event, snapshot, TOKEN, welcome, wholeView } from './fixtures';

describe('the server\'s messages that read', () => {
  it('reads a whole view with every field, and the choices when asked', () => {
    const m = decodeServerMessage(event(9, 'Asked', { view: { ...wholeView(), legalCards: [[1, 7], [4, 5]] } }, { seat: 1 }));
    expect(m?.type).toBe('event');
    if (m?.type !== 'event') return;
    expect(m.update).toMatchObject({ kind: 'Asked', seat: 1, serial: 9, whole: true, viewSeat: 1, legalCards: [[1, 7], [4, 5]] });
    expect(m.update.fields.scoreRows).toEqual([[4, -4, 2, 12], [10, -4, 0, 22]]);
  });

  it('reads a change with the cards and tricks added and the card that left the hand', () => {
    const m = decodeServerMessage(event(10, 'CardPlayed', {
      change: { toAct: 2, handOut: [4, 5], playsAdded: [[4, 5, 1]], takersAdded: [2], scoreRowsAdded: [[1, 2, 3, 4]] },
    }, { seat: 1, card: [4, 5], value: 2 }));
    expect(m).toEqual({ type: 'event', update: expect.objectContaining({
      whole: false, card: [4, 5], value: 2, handOut: [4, 5], playsAdded: [[4, 5, 1]], takersAdded: [2],
      scoreRowsAdded: [[1, 2, 3, 4]], fields: { toAct: 2 },
    }) });
  });

  it.each([
    ['welcome', welcome(), { type: 'welcome', welcome: expect.objectContaining({ seat: 1, token: TOKEN, names: ['Ann', 'سلمى', '', 'Expert'] }) }],
    ['welcome telling of a change at the table', welcome({ token: '' }), { type: 'welcome', welcome: expect.objectContaining({ token: '' }) }],
    ['chat with markup and a direction mark', '{"type":"chat","seat":2,"text":"<b>hi</b> \\u200f!"}', { type: 'chat', seat: 2, text: '<b>hi</b> \u200f!' }],
    ['refused', '{"type":"refused","reason":"not your turn"}', { type: 'refused', reason: 'not your turn' }],
    ['bye', '{"type":"bye","reason":"closed by the host"}', { type: 'bye', reason: 'closed by the host' }],
    ['the turned card not there yet', snapshot(1, { cut: [0, 0], trump: 0 }), { type: 'event', update: expect.objectContaining({ fields: expect.objectContaining({ cut: [0, 0] }) }) }],
  ])('reads a %s', (_name, text, expected) => {
    expect(decodeServerMessage(text)).toEqual(expected);
  });
});

describe('the server\'s messages that are dropped', () => {
  const long = 'x'.repeat(201);
  it.each([
    ['not JSON', '{"type":'],
    ['no type', '{"seat":1}'],
    ['an unknown type', '{"type":"teleport"}'],
    ['a type that is not text', '{"type":1}'],
    ['a welcome of another version', welcome({ version: 2 })],
    ['a welcome with a table code in small letters', welcome({ table: 'k7qm2p' })],
    ['a welcome with a token of capitals', welcome({ token: TOKEN.toUpperCase() })],
    ['a welcome with three names', welcome({ names: ['a', 'b', 'c'] })],
    ['a welcome with a name of 25 characters', welcome({ names: ['a'.repeat(25), '', '', ''] })],
    ['a welcome with a line break in a name', welcome({ names: ['a\nb', '', '', ''] })],
    ['a welcome with a chair of no known kind', welcome({ chairs: ['person', 'robot', 'open', 'open'] })],
    ['a welcome without started', JSON.stringify({ ...JSON.parse(welcome()), started: undefined })],
    ['a welcome with seat 0', welcome({ seat: 0 })],
    ['a chat line too long', JSON.stringify({ type: 'chat', seat: 1, text: long })],
    ['an empty chat line', '{"type":"chat","seat":1,"text":""}'],
    ['a chat line with a control character', '{"type":"chat","seat":1,"text":"a\\u0085b"}'],
    ['a chat line with half a surrogate pair', '{"type":"chat","seat":1,"text":"a\\ud800b"}'],
    ['a chat line of seat 5', '{"type":"chat","seat":5,"text":"hi"}'],
    ['a refusal with more', '{"type":"refused","reason":"no","why":"x"}'],
    ['a bye without a reason', '{"type":"bye"}'],
    ['a serial past what a number holds exactly', event(2 ** 53, 'Snapshot', { view: wholeView() })],
    ['a view of seat 0', snapshot(1, { seat: 0 })],
    ['a deal count that is text', snapshot(1, { deals: '7' })],
    ['an empty list of legal cards', snapshot(1, { legalCards: [] })],
    ['a legal bid of 1', snapshot(1, { legalBids: [1, 2] })],
    ['a card of rank 14 played', snapshot(1, { plays: [[1, 14, 1]] })],
    ['a taker of seat 0', snapshot(1, { takers: [0] })],
    ['more hand counts than seats', snapshot(1, { handCounts: [1, 1, 1, 1, 1] })],
    ['handOut in a whole view', snapshot(1, { handOut: [1, 7] })],
    ['an object nested too deep', snapshot(1, { scoreRows: [[[1, 2, 3, 4]]] })],
    ['a field named __proto__', '{"type":"refused","reason":"x","__proto__":{"a":1}}'],
  ])('%s', (_name, text) => {
    expect(decodeServerMessage(text)).toBeNull();
  });

  it('counts the size in bytes, not characters', () => {
    // Arabic takes two bytes a letter: within the limit in characters, over it in bytes.
    const padding = 'م'.repeat(MAX_SERVER_MESSAGE_BYTES / 2);
    const text = JSON.stringify({ type: 'refused', reason: padding });
    expect(text.length).toBeLessThan(MAX_SERVER_MESSAGE_BYTES);
    expect(utf8Length(text)).toBeGreaterThan(MAX_SERVER_MESSAGE_BYTES);
    expect(decodeServerMessage(text)).toBeNull();
    expect(decodeServerMessage(JSON.stringify({ type: 'refused', reason: padding.slice(100) }))).not.toBeNull();
  });

  it('measures nesting without reading brackets inside strings', () => {
    expect(jsonNestingDepth('{"a":"[[[[[[","b":[[1]]}')).toBe(3);
    expect(jsonNestingDepth('{"a":"\\"[[[[[["}')).toBe(1);
    expect(jsonNestingDepth('['.repeat(100000))).toBe(100000);
  });
});

describe('text a person may be shown', () => {
  it.each([
    ['a name', 'Ann', 24, true],
    ['Arabic with a direction mark', '\u200fسلمى', 24, true],
    ['exactly the limit in characters outside the basic plane', '🂡'.repeat(24), 24, true],
    ['one past the limit', 'a'.repeat(25), 24, false],
    ['empty', '', 24, false],
    ['a tab', 'a\tb', 24, false],
    ['a C1 control', 'a\u009bb', 24, false],
    ['a lone low surrogate', 'a\udc00', 24, false],
  ])('%s', (_name, text, limit, ok) => {
    expect(isAcceptableText(text, limit)).toBe(ok);
  });
});

describe('the page\'s own messages', () => {
  it.each<[string, ClientMessage, Record<string, unknown> | null]>([
    ['hello joining', { type: 'hello', name: 'Ann', table: 'K7QM2P' }, { type: 'hello', version: 1, name: 'Ann', table: 'K7QM2P' }],
    ['hello coming back', { type: 'hello', name: 'Ann', table: 'K7QM2P', token: TOKEN, since: 41 },
      { type: 'hello', version: 1, name: 'Ann', table: 'K7QM2P', token: TOKEN, since: 41 }],
    ['hello with since but no token', { type: 'hello', name: 'Ann', table: 'K7QM2P', since: 4 }, null],
    ['hello with a name too long', { type: 'hello', name: 'a'.repeat(25), table: 'K7QM2P' }, null],
    ['hello with a table code that is none', { type: 'hello', name: 'Ann', table: 'K7QM2' }, null],
    ['a bid', { type: 'bid', bid: 14 }, { type: 'bid', bid: 14 }],
    ['a bid of 1', { type: 'bid', bid: 1 }, null],
    ['a bid of half a trick', { type: 'bid', bid: 2.5 }, null],
    ['a card', { type: 'card', card: [3, 12] }, { type: 'card', suit: 3, rank: 12 }],
    ['a card of no suit', { type: 'card', card: [0, 12] }, null],
    ['a chat line', { type: 'chat', text: '"quoted" \\ مرحبا' }, { type: 'chat', text: '"quoted" \\ مرحبا' }],
    ['a chat line of two lines', { type: 'chat', text: 'a\nb' }, null],
    ['leave', { type: 'leave' }, { type: 'leave' }],
    ['start', { type: 'start' }, { type: 'start' }],
  ])('%s', (_name, message, expected) => {
    const text = encodeClientMessage(message);
    expect(text === null ? null : JSON.parse(text)).toEqual(expected);
  });
});

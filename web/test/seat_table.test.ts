// SPDX-License-Identifier: GPL-3.0-or-later
// The seat's table the page keeps: what it takes, what it refuses, and that a view handed out
// never changes afterwards (the table may still be showing it while later steps arrive).

import { describe, expect, it } from 'vitest';
import { decodeServerMessage, type TableUpdate } from '../src/protocol';
import { SeatTable } from '../src/seat_table';
import { event, snapshot, type Json } from './fixtures';

function update(text: string): TableUpdate {
  const m = decodeServerMessage(text);
  if (m?.type !== 'event') throw new Error(`not an event: ${text}`);
  return m.update;
}

const change = (serial: number, kind: string, fields: Json, extra: Json = {}) =>
  update(event(serial, kind, { change: fields }, extra));

function tableAt(serial: number): SeatTable {
  const table = new SeatTable();
  expect(table.apply(update(snapshot(serial)))).toBe(true);
  return table;
}

describe('the order of steps', () => {
  it.each([
    // [what, serial after a view of serial 5, kind, whole, taken]
    ['a later step', 6, 'CardPlayed', false, true],
    ['the question after the step, with its serial', 5, 'Asked', false, true],
    ['another step with the same serial', 5, 'CardPlayed', false, false],
    ['a step going back', 4, 'Asked', false, false],
    ['a snapshot of the same moment', 5, 'Snapshot', true, true],
    ['a whole question of the same moment', 5, 'Asked', true, true],
    ['a whole step of the same moment', 5, 'NewGame', true, false],
    ['a snapshot going back', 4, 'Snapshot', true, false],
  ])('%s', (_what, serial, kind, whole, taken) => {
    const table = tableAt(5);
    const before = table.view;
    const u = whole ? update(event(serial, kind, { view: JSON.parse(snapshot(0)).view })) : change(serial, kind, {});
    expect(table.apply(u)).toBe(taken);
    expect(table.serial).toBe(taken ? serial : 5);
    if (!taken) expect(table.view).toBe(before);
  });

  it('takes no change before a whole view', () => {
    const table = new SeatTable();
    expect(table.apply(change(1, 'DealStarted', { phase: 'bidding' }))).toBe(false);
    expect(table.view).toBeNull();
    expect(table.lastStep()).toBeNull();
  });
});

describe('changes', () => {
  it('takes the card that left the hand out of it, keeping the order of the rest', () => {
    const table = tableAt(5);
    expect(table.apply(change(6, 'CardPlayed', { handOut: [2, 13], playsAdded: [[2, 13, 1]], toAct: 2 },
      { seat: 1, card: [2, 13], value: 2 }))).toBe(true);
    expect(table.view?.hand).toEqual([[1, 7], [2, 2], [3, 11], [4, 5]]);
    expect(table.view?.plays.at(-1)).toEqual([2, 13, 1]);
    expect(table.lastStep()).toMatchObject({ kind: 'CardPlayed', seat: 1, card: [2, 13], value: 2, serial: 6 });
  });

  it.each([
    ['a card the hand does not hold', { handOut: [4, 1] }],
    ['more cards than a deal has', { playsAdded: Array.from({ length: 48 }, () => [1, 2, 3]) }],
    ['more tricks than a deal has', { takersAdded: Array.from({ length: 13 }, () => 1) }],
  ])('refuses %s and holds what it held', (_what, fields) => {
    const table = tableAt(5);
    const before = table.view;
    expect(table.apply(change(6, 'CardPlayed', fields))).toBe(false);
    expect(table.view).toBe(before);
    expect(table.serial).toBe(5);
  });

  it('replaces a whole field the change carries, before a card leaves it', () => {
    const table = tableAt(5);
    expect(table.apply(change(6, 'DealStarted', { hand: [[1, 1], [1, 2]], handOut: [1, 1] }))).toBe(true);
    expect(table.view?.hand).toEqual([[1, 2]]);
  });

  it('keeps the legal choices only for the message that carries them', () => {
    const table = tableAt(5);
    table.apply(change(5, 'Asked', { legalCards: [[1, 7]] }, { seat: 1 }));
    expect(table.view?.legalCards).toEqual([[1, 7]]);
    table.apply(change(6, 'CardPlayed', { handOut: [1, 7], playsAdded: [[1, 7, 1]] }));
    expect(table.view?.legalCards).toEqual([]);
  });

  it('never changes a view it has handed out', () => {
    const table = tableAt(5);
    const first = table.view!;
    const copy = structuredClone(first);
    table.apply(change(6, 'TrickTaken', { takersAdded: [4], playsAdded: [[2, 6, 4]], handOut: [1, 7], scoreRowsAdded: [[1, 1, 1, 1]] }));
    expect(first).toEqual(copy);
    expect(table.view).not.toBe(first);
    // Nor may the table that shows it.
    expect(() => (first.hand as unknown as unknown[]).push([1, 1])).toThrow(TypeError);
    expect(() => { (first as { toAct: number }).toAct = 3; }).toThrow(TypeError);
  });
});

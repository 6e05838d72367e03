// SPDX-License-Identifier: GPL-3.0-or-later
// The table's protocol as the page speaks it: a strict reading of what the server says (the
// same checks as the desktop client makes; anything out of shape is dropped whole) and the
// page's own messages.

import {
  CHAIR_KINDS, PHASES, STEP_KINDS,
  type Card, type ChairKind, type PerSeat, type Phase, type PlayedCard, type StepKind, type TableView,
  type Welcome,
} from './model';

export const PROTOCOL_VERSION = 1;
// Offered in the WebSocket handshake, as the desktop client offers it.
export const SUBPROTOCOL = 'halbeet.v1';
// The largest message taken from the server, in bytes of UTF-8: a snapshot with a long score
// sheet is a few kilobytes.
export const MAX_SERVER_MESSAGE_BYTES = 65536;
// The largest message the server takes from a player.
export const MAX_CLIENT_MESSAGE_BYTES = 4096;
// Characters (code points) of a chat line and of a name.
export const MAX_CHAT_CHARS = 200;
export const MAX_NAME_CHARS = 24;
// Scores and the like stay far inside this in any game; deals of one game on the score sheet.
const MAX_SCORE = 1_000_000;
export const MAX_SCORE_ROWS = 2000;
// A view is nested four deep in a message (message, view, score rows, a row).
const MAX_DEPTH = 4;

// The fields of a view a change may carry (every one of them in a whole view).
export type ViewFields = Omit<TableView, 'seat' | 'legalBids' | 'legalCards'>;
export const VIEW_FIELDS: readonly (keyof ViewFields)[] = ['phase', 'toAct', 'dealerCounter', 'trump', 'cut',
  'hand', 'dealt', 'bids', 'bidMade', 'scores', 'plays', 'takers', 'handCounts', 'scoreRows', 'passed',
  'scored', 'winner', 'deals'];

// One step of the game as the server tells it: the whole view (a snapshot, or the first step a
// connection is sent), or what changed in the view since the step before.
export interface TableUpdate {
  kind: StepKind;
  seat: number;
  card: Card | null;
  value: number;
  serial: number;
  whole: boolean;
  viewSeat: number;                 // the view's seat: in a whole view only, else 0
  fields: Partial<ViewFields>;      // every field in a whole view
  handOut: Card | null;             // the one card that left the hand
  playsAdded: PlayedCard[];
  takersAdded: number[];
  scoreRowsAdded: PerSeat<number>[];
  legalBids: number[];
  legalCards: Card[];
}

export interface WelcomeMessage extends Welcome {
  // Takes the seat back after a dropped connection; empty when the welcome only tells of a
  // change at the table.
  token: string;
}

export type ServerMessage =
  | { type: 'welcome'; welcome: WelcomeMessage }
  | { type: 'event'; update: TableUpdate }
  | { type: 'refused'; reason: string }
  | { type: 'chat'; seat: number; text: string }
  | { type: 'bye'; reason: string };

// ---- texts ---------------------------------------------------------------------------------

const TABLE_CODE = /^[ABCDEFGHJKMNPQRSTUVWXYZ23456789]{6}$/;
const TOKEN = /^[0-9a-f]{32}$/;

export function isTableCode(text: string): boolean {
  return TABLE_CODE.test(text);
}

export function isToken(text: string): boolean {
  return TOKEN.test(text);
}

// Text that UTF-8 can carry: no half of a surrogate pair on its own.
export function isWellFormed(text: string): boolean {
  return !/[\ud800-\udbff](?![\udc00-\udfff])|(?<![\ud800-\udbff])[\udc00-\udfff]/.test(text);
}

// A chat line or name as it may be shown: no control characters, not empty, at most `limit`
// characters. Stray direction marks are allowed: the page isolates each line.
export function isAcceptableText(text: string, limit: number): boolean {
  if (!isWellFormed(text)) return false;
  let count = 0;
  for (const c of text) {
    const cp = c.codePointAt(0) ?? 0;
    if (cp < 0x20 || (cp >= 0x7f && cp < 0xa0)) return false;
    if (++count > limit) return false;
  }
  return count > 0;
}

export function utf8Length(text: string): number {
  let bytes = 0;
  for (let i = 0; i < text.length; ++i) {
    const c = text.charCodeAt(i);
    if (c < 0x80) bytes += 1;
    else if (c < 0x800) bytes += 2;
    else if (c >= 0xd800 && c <= 0xdbff && i + 1 < text.length) {
      const next = text.charCodeAt(i + 1);
      if (next >= 0xdc00 && next <= 0xdfff) {
        bytes += 4;
        ++i;
      } else {
        bytes += 3;
      }
    } else bytes += 3;
  }
  return bytes;
}

// The deepest nesting of objects and arrays, in one pass without parsing: a message of a
// million brackets costs nothing. Strings are skipped.
export function jsonNestingDepth(text: string): number {
  let depth = 0;
  let deepest = 0;
  let inString = false;
  let escaped = false;
  for (let i = 0; i < text.length; ++i) {
    const c = text[i];
    if (inString) {
      if (escaped) escaped = false;
      else if (c === '\\') escaped = true;
      else if (c === '"') inString = false;
      continue;
    }
    if (c === '"') inString = true;
    else if (c === '{' || c === '[') deepest = Math.max(deepest, ++depth);
    else if (c === '}' || c === ']') --depth;
  }
  return deepest;
}

// ---- reading -------------------------------------------------------------------------------

class OutOfShape extends Error {}

function require(condition: boolean): asserts condition {
  if (!condition) throw new OutOfShape();
}

type Json = unknown;
type JsonObject = Record<string, Json>;

function isObject(j: Json): j is JsonObject {
  return typeof j === 'object' && j !== null && !Array.isArray(j);
}

// Integers only; serials and deal counts past what a number holds exactly are no game of ours.
function readInt(j: Json, low: number, high: number): number {
  require(typeof j === 'number' && Number.isSafeInteger(j) && j >= low && j <= high);
  return j;
}

function readBool(j: Json): boolean {
  require(typeof j === 'boolean');
  return j;
}

function readString(j: Json): string {
  require(typeof j === 'string' && isWellFormed(j));
  return j;
}

function readArray(j: Json, most: number): Json[] {
  require(Array.isArray(j) && j.length <= most);
  return j;
}

// A card in a hand, played or offered: a real card. The turned card may also be none yet.
function readCard(j: Json, mayBeNone = false): Card {
  require(Array.isArray(j) && j.length === 2);
  if (mayBeNone && j[0] === 0 && j[1] === 0) return [0, 0];
  return [readInt(j[0], 1, 4), readInt(j[1], 1, 13)];
}

function readCards(j: Json, most: number): Card[] {
  return readArray(j, most).map((c) => readCard(c));
}

function readPlays(j: Json): PlayedCard[] {
  return readArray(j, 52).map((p) => {
    require(Array.isArray(p) && p.length === 3);
    return [readInt(p[0], 1, 4), readInt(p[1], 1, 13), readInt(p[2], 1, 4)] as const;
  });
}

function readTakers(j: Json): number[] {
  return readArray(j, 13).map((s) => readInt(s, 1, 4));
}

function readPerSeat<T>(j: Json, read: (v: Json) => T): PerSeat<T> {
  require(Array.isArray(j) && j.length === 4);
  return [read(j[0]), read(j[1]), read(j[2]), read(j[3])];
}

const readScore = (v: Json) => readInt(v, -MAX_SCORE, MAX_SCORE);

function readRows(j: Json): PerSeat<number>[] {
  return readArray(j, MAX_SCORE_ROWS).map((row) => readPerSeat(row, readScore));
}

function readName<T extends string>(j: Json, names: readonly T[]): T {
  require(typeof j === 'string' && (names as readonly string[]).includes(j));
  return j as T;
}

function only(j: JsonObject, allowed: readonly string[]): void {
  for (const key of Object.keys(j)) require(allowed.includes(key));
}

function field(j: JsonObject, key: string): Json {
  require(Object.prototype.hasOwnProperty.call(j, key));
  return j[key];
}

function readViewFields(j: Json, whole: boolean, u: TableUpdate): void {
  require(isObject(j));
  const f = u.fields;
  for (const [key, value] of Object.entries(j)) {
    switch (key) {
      case 'seat': require(whole); u.viewSeat = readInt(value, 1, 4); break;
      case 'phase': f.phase = readName<Phase>(value, PHASES); break;
      case 'toAct': f.toAct = readInt(value, 0, 4); break;
      case 'dealerCounter': f.dealerCounter = readInt(value, 0, 3); break;
      case 'trump': f.trump = readInt(value, 0, 4); break;
      case 'cut': f.cut = readCard(value, true); break;
      case 'hand': f.hand = readCards(value, 13); break;
      case 'handOut': require(!whole); u.handOut = readCard(value); break;
      case 'dealt': f.dealt = readCards(value, 13); break;
      case 'bids': f.bids = readPerSeat(value, (v) => readInt(v, 0, 26)); break;
      case 'bidMade': f.bidMade = readPerSeat(value, readBool); break;
      case 'scores': f.scores = readPerSeat(value, readScore); break;
      case 'plays': f.plays = readPlays(value); break;
      case 'playsAdded': require(!whole); u.playsAdded = readPlays(value); break;
      case 'takers': f.takers = readTakers(value); break;
      case 'takersAdded': require(!whole); u.takersAdded = readTakers(value); break;
      case 'handCounts': f.handCounts = readPerSeat(value, (v) => readInt(v, 0, 13)); break;
      case 'scoreRows': f.scoreRows = readRows(value); break;
      case 'scoreRowsAdded': require(!whole); u.scoreRowsAdded = readRows(value); break;
      case 'passed': f.passed = readBool(value); break;
      case 'scored': f.scored = readBool(value); break;
      case 'winner': f.winner = readInt(value, 0, 4); break;
      case 'deals': f.deals = readInt(value, 0, Number.MAX_SAFE_INTEGER); break;
      case 'legalBids':
        u.legalBids = readArray(value, 26).map((b) => readInt(b, 2, 26));
        require(u.legalBids.length > 0);
        break;
      case 'legalCards':
        u.legalCards = readCards(value, 13);
        require(u.legalCards.length > 0);
        break;
      default: throw new OutOfShape();
    }
  }
  // A whole view has every field but the choices.
  if (whole) require(u.viewSeat !== 0 && VIEW_FIELDS.every((name) => name in f));
}

function readEvent(j: JsonObject): TableUpdate {
  only(j, ['type', 'serial', 'kind', 'seat', 'card', 'value', 'view', 'change']);
  const u: TableUpdate = {
    kind: readName<StepKind>(field(j, 'kind'), STEP_KINDS),
    seat: 'seat' in j ? readInt(j.seat, 1, 4) : 0,
    card: 'card' in j ? readCard(j.card) : null,
    value: 'value' in j ? readInt(j.value, -MAX_SCORE, MAX_SCORE) : 0,
    serial: readInt(field(j, 'serial'), 0, Number.MAX_SAFE_INTEGER),
    whole: 'view' in j,
    viewSeat: 0,
    fields: {},
    handOut: null,
    playsAdded: [],
    takersAdded: [],
    scoreRowsAdded: [],
    legalBids: [],
    legalCards: [],
  };
  require(('view' in j) !== ('change' in j));
  require(u.whole || u.kind !== 'Snapshot');
  readViewFields(u.whole ? j.view : j.change, u.whole, u);
  return u;
}

function readWelcome(j: JsonObject): WelcomeMessage {
  only(j, ['type', 'version', 'seat', 'table', 'token', 'names', 'chairs', 'started']);
  readInt(field(j, 'version'), PROTOCOL_VERSION, PROTOCOL_VERSION);
  const table = readString(field(j, 'table'));
  require(isTableCode(table));
  const token = readString(field(j, 'token'));
  require(token === '' || isToken(token));
  // Shown to the player: a name as a hello may carry one, or none (an open chair).
  const names = readPerSeat(field(j, 'names'), (v) => {
    const name = readString(v);
    require(name === '' || isAcceptableText(name, MAX_NAME_CHARS));
    return name;
  });
  return {
    seat: readInt(field(j, 'seat'), 1, 4),
    table,
    token,
    names,
    chairs: readPerSeat(field(j, 'chairs'), (v) => readName<ChairKind>(v, CHAIR_KINDS)),
    started: readBool(field(j, 'started')),
  };
}

// What the page reads; null when the text is not a message of this protocol: too large, not
// JSON, a field missing, unknown, or out of range.
export function decodeServerMessage(text: string): ServerMessage | null {
  if (text.length > MAX_SERVER_MESSAGE_BYTES || utf8Length(text) > MAX_SERVER_MESSAGE_BYTES ||
      jsonNestingDepth(text) > MAX_DEPTH)
    return null;
  let j: Json;
  try {
    j = JSON.parse(text);
  } catch {
    return null;
  }
  if (!isObject(j) || typeof j.type !== 'string') return null;
  try {
    switch (j.type) {
      case 'event': return { type: 'event', update: readEvent(j) };
      case 'welcome': return { type: 'welcome', welcome: readWelcome(j) };
      case 'refused':
        only(j, ['type', 'reason']);
        return { type: 'refused', reason: readString(field(j, 'reason')) };
      case 'chat': {
        only(j, ['type', 'seat', 'text']);
        const seat = readInt(field(j, 'seat'), 1, 4);
        const line = readString(field(j, 'text'));
        require(isAcceptableText(line, MAX_CHAT_CHARS));
        return { type: 'chat', seat, text: line };
      }
      case 'bye':
        only(j, ['type', 'reason']);
        return { type: 'bye', reason: readString(field(j, 'reason')) };
      default: return null;
    }
  } catch (error) {
    if (error instanceof OutOfShape) return null;
    throw error;
  }
}

// ---- writing -------------------------------------------------------------------------------

export type ClientMessage =
  | { type: 'hello'; name: string; table: string; token?: string; since?: number }
  | { type: 'bid'; bid: number }
  | { type: 'card'; card: Card }
  | { type: 'chat'; text: string }
  | { type: 'leave' }
  | { type: 'start' };

// The message's text, or null for one the server would cut the connection for (a bid of 1, a
// card of no suit, a name too long): such a slip goes nowhere instead.
export function encodeClientMessage(m: ClientMessage): string | null {
  const int = (v: number, low: number, high: number) => Number.isSafeInteger(v) && v >= low && v <= high;
  let out: Record<string, unknown>;
  switch (m.type) {
    case 'hello':
      if (!isAcceptableText(m.name, MAX_NAME_CHARS)) return null;
      if (m.table !== '' && !isTableCode(m.table)) return null;
      if (m.token !== undefined && m.token !== '' && !isToken(m.token)) return null;
      // Only a client coming back with its token holds steps of the table.
      if (m.since !== undefined && (!m.token || !int(m.since, 0, Number.MAX_SAFE_INTEGER))) return null;
      out = { type: 'hello', version: PROTOCOL_VERSION, name: m.name };
      if (m.table !== '') out.table = m.table;
      if (m.token) out.token = m.token;
      if (m.since !== undefined) out.since = m.since;
      break;
    case 'bid':
      if (!int(m.bid, 2, 26)) return null;
      out = { type: 'bid', bid: m.bid };
      break;
    case 'card':
      if (!int(m.card[0], 1, 4) || !int(m.card[1], 1, 13)) return null;
      out = { type: 'card', suit: m.card[0], rank: m.card[1] };
      break;
    case 'chat':
      if (!isAcceptableText(m.text, MAX_CHAT_CHARS)) return null;
      out = { type: 'chat', text: m.text };
      break;
    case 'leave':
    case 'start':
      out = { type: m.type };
      break;
  }
  const text = JSON.stringify(out);
  return utf8Length(text) <= MAX_CLIENT_MESSAGE_BYTES ? text : null;
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The page's end of its table: one WebSocket to the server that served the page, the seat's
// table rebuilt from what it says, and the way back after a dropped connection (a phone that
// locked, a train in a tunnel). The server decides everything; nothing it sends is taken on
// trust: a message that does not read, or does not fit the table held, is dropped and counted.

import type { Card, ConnectionState, TableActions, TableEvents, TableStep, Welcome } from './model';
import {
  decodeServerMessage, encodeClientMessage, isAcceptableText, isTableCode, MAX_CHAT_CHARS, MAX_NAME_CHARS,
  SUBPROTOCOL, type ClientMessage, type WelcomeMessage,
} from './protocol';
import { SeatTable } from './seat_table';

// The wait before the first try to come back, doubled at each try up to the longest; the
// server keeps a chair a minute, and tries stop a little after it would have gone.
export const FIRST_RETRY_MS = 500;
export const MAX_RETRY_MS = 15000;
export const GIVE_UP_AFTER_MS = 90000;
// A try not welcomed in this time is given up for the next (a host that does not answer at
// all, where the browser would wait minutes).
export const ATTEMPT_MS = 10000;
// A few chat lines at once, then one a second: well inside what the server allows a seat.
export const CHAT_BURST = 3;
export const CHAT_INTERVAL_MS = 1000;
// Reasons of the page's own for the end of a connection; the others are the server's.
export const LEFT_REASON = 'left';
export const GAVE_UP_REASON = 'gave up';
export const NO_CONNECTION_REASON = 'no connection';
export const NO_TABLE_REASON = 'no such table';

const NAME_KEY = 'halbeet.name';
const TOKEN_KEY = 'halbeet.token.';

// What the connection needs of a WebSocket; a browser's by default, a fake in the tests.
export interface SocketLike {
  send(text: string): void;
  close(code?: number, reason?: string): void;
}
export interface SocketHandlers {
  open(): void;
  message(data: unknown): void;
  closed(): void;
}
export type SocketFactory = (url: string, protocol: string, on: SocketHandlers) => SocketLike;

export interface VisibilityLike {
  readonly hidden: boolean;
  addEventListener(type: 'visibilitychange', listener: () => void): void;
}

export interface ConnectOptions {
  // The player's name when none is kept yet (or the one kept is no name): the page asks him.
  askName(): Promise<string>;
  // By default the page's own host, its table code from the address's #fragment, the
  // browser's storage, WebSocket and document.
  url?: string;
  table?: string;
  storage?: Pick<Storage, 'getItem' | 'setItem' | 'removeItem'> | null;
  socket?: SocketFactory;
  visibility?: VisibilityLike | null;
  now?: () => number;
}

export interface Connection extends TableActions {
  // False (nothing sent) for a line that is not acceptable text, comes too fast, or while the
  // page is not seated.
  say(text: string): boolean;
  readonly state: ConnectionState;
  // Messages from the server dropped as unreadable or not fitting.
  readonly ignored: number;
  readonly seated: boolean;
}

// The table code the address names: "https://host:port/#K7QM2P" (small letters allowed).
export function tableCodeFromHash(hash: string): string {
  return hash.replace(/^#/, '').trim().toUpperCase();
}

export function serverUrl(location: Pick<Location, 'protocol' | 'host'>): string {
  return `${location.protocol === 'https:' ? 'wss' : 'ws'}://${location.host}/`;
}

const browserSocket: SocketFactory = (url, protocol, on) => {
  const ws = new WebSocket(url, protocol);
  ws.onopen = () => on.open();
  ws.onmessage = (event: MessageEvent) => on.message(event.data);
  // A connection refused or a handshake that fails closes too.
  ws.onclose = () => on.closed();
  return ws;
};

function storageOrNull(): ConnectOptions['storage'] {
  try {
    return typeof localStorage === 'undefined' ? null : localStorage;
  } catch {
    return null; // storage refused: nothing is kept across a reload
  }
}

class TableConnection implements Connection {
  private readonly events: TableEvents;
  private readonly options: ConnectOptions;
  private readonly url: string;
  private readonly code: string;
  private readonly storage: ConnectOptions['storage'];
  private readonly now: () => number;
  private name = '';
  private token = '';
  // The token came from an earlier visit, not from this page's own welcome.
  private tokenFromStorage = false;
  private socket: SocketLike | null = null;
  private socketId = 0;
  private welcomedHere = false;
  private freshView = false;
  private seatedOnce = false;
  private reconnecting = false;
  private over = false;
  private welcome: WelcomeMessage | null = null;
  private table = new SeatTable();
  private ignoredCount = 0;
  private connectionState: ConnectionState = 'connecting';
  private nextDelayMs = FIRST_RETRY_MS;
  private droppedAt = 0;
  private retryTimer: ReturnType<typeof setTimeout> | null = null;
  private attemptTimer: ReturnType<typeof setTimeout> | null = null;
  private chatCredit = CHAT_BURST;
  private chatCreditAt: number;
  // Steps applied but not yet handed to the table, and the one it is showing.
  private pending: TableStep[] = [];
  private outstanding: TableStep | null = null;
  private pumping = false;

  constructor(events: TableEvents, options: ConnectOptions) {
    this.events = events;
    this.options = options;
    this.now = options.now ?? (() => Date.now());
    this.chatCreditAt = this.now();
    this.url = options.url ?? serverUrl(location);
    this.code = tableCodeFromHash(options.table ?? location.hash);
    this.storage = options.storage === undefined ? storageOrNull() : options.storage;
    const visibility = options.visibility === undefined
      ? (typeof document === 'undefined' ? null : document) : options.visibility;
    visibility?.addEventListener('visibilitychange', () => {
      if (!visibility.hidden) this.visible();
    });
  }

  get state(): ConnectionState {
    return this.connectionState;
  }

  get ignored(): number {
    return this.ignoredCount;
  }

  get seated(): boolean {
    return this.socket !== null && this.welcomedHere;
  }

  async begin(): Promise<void> {
    this.setState('connecting');
    if (!isTableCode(this.code)) {
      // From the event loop, as every other end of a connection comes.
      setTimeout(() => this.finish(NO_TABLE_REASON), 0);
      return;
    }
    this.token = this.read(TOKEN_KEY + this.code) ?? '';
    this.tokenFromStorage = this.token !== '';
    let name = this.read(NAME_KEY) ?? '';
    while (!isAcceptableText(name, MAX_NAME_CHARS)) {
      try {
        name = (await this.options.askName()).trim();
      } catch {
        this.finish(LEFT_REASON);
        return;
      }
      if (this.over) return;
    }
    this.name = name;
    this.write(NAME_KEY, name);
    this.open();
  }

  // ---- what the table asks -------------------------------------------------------------------

  bid(stored: number): void {
    this.send({ type: 'bid', bid: stored });
  }

  play(card: Card): void {
    this.send({ type: 'card', card });
  }

  start(): void {
    this.send({ type: 'start' });
  }

  say(text: string): boolean {
    if (!isAcceptableText(text, MAX_CHAT_CHARS) || !this.seated) return false;
    const now = this.now();
    this.chatCredit = Math.min(CHAT_BURST, this.chatCredit + (now - this.chatCreditAt) / CHAT_INTERVAL_MS);
    this.chatCreditAt = now;
    if (this.chatCredit < 1 || !this.send({ type: 'chat', text })) return false;
    this.chatCredit -= 1;
    return true;
  }

  leave(): void {
    if (this.over) return;
    if (this.seated) this.send({ type: 'leave' });
    // Gone for good: a later visit joins afresh rather than with a seat that is no longer his.
    this.remove(TOKEN_KEY + this.code);
    this.finish(LEFT_REASON);
  }

  shown(serial: number): void {
    if (this.outstanding?.serial !== serial) return;
    this.outstanding = null;
    this.pump();
  }

  // ---- the socket -----------------------------------------------------------------------------

  private open(): void {
    this.dropSocket();
    const id = ++this.socketId;
    const factory = this.options.socket ?? browserSocket;
    this.attemptTimer = setTimeout(() => {
      this.attemptTimer = null;
      if (id === this.socketId) this.lost();
    }, ATTEMPT_MS);
    try {
      this.socket = factory(this.url, SUBPROTOCOL, {
        open: () => { if (id === this.socketId) this.opened(); },
        message: (data) => { if (id === this.socketId) this.received(data); },
        closed: () => { if (id === this.socketId) this.lost(); },
      });
    } catch {
      // A malformed address: no socket at all.
      this.socket = null;
      setTimeout(() => { if (id === this.socketId) this.lost(); }, 0);
    }
  }

  private opened(): void {
    const hello: ClientMessage = { type: 'hello', name: this.name, table: this.code };
    if (this.token) {
      hello.token = this.token;
      // Coming back: only the steps after the last one held are wanted.
      if (this.table.hasView) hello.since = this.table.serial;
    }
    const text = encodeClientMessage(hello);
    if (text !== null) this.socket?.send(text);
  }

  private received(data: unknown): void {
    const message = typeof data === 'string' ? decodeServerMessage(data) : null;
    if (!message) {
      ++this.ignoredCount;
      return;
    }
    switch (message.type) {
      case 'welcome': this.welcomed(message.welcome); return;
      case 'bye': this.byeSaid(message.reason); return;
      default: break;
    }
    // Nothing of a table comes before its seat is known.
    if (!this.welcomedHere || !this.welcome) {
      ++this.ignoredCount;
      return;
    }
    switch (message.type) {
      case 'event': {
        const u = message.update;
        let applied = false;
        if (u.whole && u.viewSeat !== this.welcome.seat) {
          applied = false;
        } else if (u.whole && this.freshView) {
          // The first whole table on a connection is the table as it stands, whatever was held
          // before (a server taken down and up again counts its steps afresh).
          const fresh = new SeatTable();
          applied = fresh.apply(u);
          if (applied) this.table = fresh;
        } else {
          applied = this.table.apply(u);
        }
        if (!applied) {
          ++this.ignoredCount;
          return;
        }
        this.freshView = false;
        const step = this.table.lastStep();
        if (!step) return;
        // A snapshot lays the table out afresh: the steps before it need not be shown.
        if (step.kind === 'Snapshot') this.pending = [];
        this.pending.push(step);
        this.pump();
        return;
      }
      case 'refused': this.events.refused(message.reason); return;
      case 'chat': this.events.chat(message.seat, message.text); return;
    }
  }

  private welcomed(w: WelcomeMessage): void {
    const answer = !this.welcomedHere;
    // The answer to a hello carries the seat's token; a welcome without one only tells of a
    // change at the table.
    if (answer && w.token === '') {
      ++this.ignoredCount;
      return;
    }
    if (w.token !== '') {
      this.token = w.token;
      this.tokenFromStorage = false;
      this.write(TOKEN_KEY + w.table, w.token);
    }
    // A table of another seat is no base for this one's steps.
    if (this.table.view && this.table.view.seat !== w.seat) {
      this.table = new SeatTable();
      this.pending = [];
    }
    this.welcome = w;
    if (answer) {
      this.welcomedHere = true;
      this.freshView = true;
      this.seatedOnce = true;
      this.reconnecting = false;
      this.clearAttempt();
      this.setState('open');
    }
    const shown: Welcome = {
      seat: w.seat, table: w.table, names: w.names, chairs: w.chairs, started: w.started, host: false,
    };
    this.events.welcome(shown);
  }

  private byeSaid(reason: string): void {
    // A token kept from an earlier visit that the table no longer knows: join afresh, once.
    if (reason === 'unknown token' && this.tokenFromStorage && !this.seatedOnce) {
      this.remove(TOKEN_KEY + this.code);
      this.token = '';
      this.tokenFromStorage = false;
      this.open();
      return;
    }
    this.finish(reason);
  }

  private lost(): void {
    this.clearAttempt();
    this.dropSocket();
    if (this.over || this.retryTimer !== null) return;
    // Never seated: the server could not be reached, or closed without a word.
    if (!this.seatedOnce) {
      this.finish(NO_CONNECTION_REASON);
      return;
    }
    if (!this.reconnecting) {
      this.reconnecting = true;
      this.droppedAt = this.now();
      this.nextDelayMs = FIRST_RETRY_MS;
      this.setState('reconnecting');
    }
    if (this.now() - this.droppedAt + this.nextDelayMs > GIVE_UP_AFTER_MS) {
      this.finish(GAVE_UP_REASON);
      return;
    }
    this.retryTimer = setTimeout(() => {
      this.retryTimer = null;
      this.open();
    }, this.nextDelayMs);
    this.nextDelayMs = Math.min(2 * this.nextDelayMs, MAX_RETRY_MS);
  }

  // The page is looked at again (a phone unlocked): a try to come back that was waiting goes now.
  private visible(): void {
    if (this.over || this.retryTimer === null) return;
    clearTimeout(this.retryTimer);
    this.retryTimer = null;
    this.open();
  }

  private finish(reason: string): void {
    if (this.over) return;
    this.over = true;
    this.reconnecting = false;
    if (this.retryTimer !== null) clearTimeout(this.retryTimer);
    this.retryTimer = null;
    this.clearAttempt();
    this.dropSocket();
    this.setState('closed');
    this.events.bye(reason);
  }

  private dropSocket(): void {
    const socket = this.socket;
    ++this.socketId; // whatever the old socket still says reaches nobody
    this.socket = null;
    this.welcomedHere = false;
    if (socket) {
      try {
        socket.close(1000);
      } catch {
        // already closed
      }
    }
  }

  private clearAttempt(): void {
    if (this.attemptTimer !== null) clearTimeout(this.attemptTimer);
    this.attemptTimer = null;
  }

  private send(message: ClientMessage): boolean {
    if (!this.seated) return false;
    const text = encodeClientMessage(message);
    if (text === null) return false;
    this.socket?.send(text);
    return true;
  }

  private setState(state: ConnectionState): void {
    if (state === this.connectionState && state !== 'connecting') return;
    this.connectionState = state;
    this.events.connection(state);
  }

  // Hands the table the next step once it has shown the one before. A table that shows a step
  // at once (calls shown() inside step()) is handed the next in the same loop, not deeper.
  private pump(): void {
    if (this.pumping) return;
    this.pumping = true;
    try {
      while (this.outstanding === null && this.pending.length > 0) {
        const next = this.pending.shift()!;
        this.outstanding = next;
        this.events.step(next);
      }
    } finally {
      this.pumping = false;
    }
  }

  private read(key: string): string | null {
    try {
      return this.storage?.getItem(key) ?? null;
    } catch {
      return null;
    }
  }

  private write(key: string, value: string): void {
    try {
      this.storage?.setItem(key, value);
    } catch {
      // not kept: the page works on, only a reload loses it
    }
  }

  private remove(key: string): void {
    try {
      this.storage?.removeItem(key);
    } catch {
      // nothing kept
    }
  }
}

// Joins the table the page's address names. The table is told everything through events;
// what it may do goes through the returned actions.
export function connect(events: TableEvents, options: ConnectOptions): Connection {
  const connection = new TableConnection(events, options);
  void connection.begin();
  return {
    bid: (stored) => connection.bid(stored),
    play: (card) => connection.play(card),
    say: (text) => connection.say(text),
    start: () => connection.start(),
    leave: () => connection.leave(),
    shown: (serial) => connection.shown(serial),
    get state() { return connection.state; },
    get ignored() { return connection.ignored; },
    get seated() { return connection.seated; },
  };
}

// SPDX-License-Identifier: GPL-3.0-or-later
// The table in the page: draws one seat's view, moves the cards in the desktop's rhythm,
// and turns clicks, taps and keys into the seat's actions.
//
// Browser tests find the parts by data-test: table, hand, hand-card (data-card="suit-rank";
// class playable when it may be played now), trick-card (data-place 1..4), cut-card, warning,
// name-bottom|right|top|left (data-seat), bid-bottom|..., bidding, bid-button (data-bid, the
// stored bid; aria-pressed), bid-ok, lobby, start, status, to-play, hint, announcer,
// chat-log, chat-input, chat-send, scores-button, last-trick-button, language, leave, and the
// dialogs scores (score-sheet, scores-ok), last-trick (last-trick-close), notice (notice-ok,
// notice-yes, notice-no).

import {
  MAX_CHAT_CHARS, MAX_NAME_CHARS, currentLanguage, reasonText, dealerSeat, onLanguageChange, setLanguage, t, tk, withoutMnemonic,
  type Card, type ChairKind, type ConnectionState, type Language, type PlayedCard, type TableActions,
  type TableEvents, type TableStep, type TableView, type Welcome,
} from './api';
import { dealInRhythm, dealPlan, dealsInRhythm, type Reveal } from './dealing';
import { DeckArt } from './deck';
import { el, isolated, placeOn } from './dom';
import {
  BidBoxSize, HandSize, MarkerSize, TrickSize, WarningBox, backSlots, bidBoxHome, cutHome, elementId,
  cardClick, glidePath, handHome, handSlots, isLegal, lastFullTrick, markerHome, nameHome, nameRoom, nextIndex, placeName,
  placeOf, seatAt, sweepPlan, trickHome, currentTrick, type Place, type Point, BottomNameRight,
} from './layout';
import {
  announcement, bidName, cardCount, cardName, chairName, gameWonText, numberText, suitName, trickCount,
} from './words';

const SuitGlyph = ['', '\u2663', '\u2660', '\u2665', '\u2666'];
const RankText = ['', 'A', '2', '3', '4', '5', '6', '7', '8', '9', '10', 'J', 'Q', 'K'];

interface Queued { step: TableStep; }

export interface TableOptions {
  deck?: DeckArt;
}

export class TablePage implements TableEvents {
  private readonly root: HTMLElement;
  private readonly actions: TableActions;
  private readonly deck: DeckArt;

  private welcomed: Welcome | null = null;
  private view: TableView | null = null;
  private queue: Queued[] = [];
  private showing = false;
  private generation = 0;
  private ended = false;
  private chosenBid = 0;
  private handFocus = 0;
  private lastTrick: PlayedCard[] = [];
  private hint = '';
  private warningShown = false;
  private audio: AudioContext | null = null;
  private chatLines: { seat: number; text: string }[] = [];
  private playSent = false;
  private leaving = false;

  // The page's parts, built once.
  private header!: HTMLElement;
  private tableBox!: HTMLElement;
  private felt!: HTMLElement;
  private hand!: HTMLElement;
  private bidding!: HTMLElement;
  private status!: HTMLElement;
  private chatLog!: HTMLElement;
  private chatInput!: HTMLInputElement;
  private chatSend!: HTMLButtonElement;
  private chatTitle!: HTMLElement;
  private live!: HTMLElement;
  private lobby!: HTMLElement;
  private scoresDialog!: HTMLDialogElement;
  private lastDialog!: HTMLDialogElement;
  private noticeDialog!: HTMLDialogElement;

  constructor(root: HTMLElement, actions: TableActions, options: TableOptions = {}) {
    this.root = root;
    this.actions = actions;
    this.deck = options.deck ?? new DeckArt();
    this.build();
    this.applyLanguage();
    onLanguageChange(() => this.languageChanged());
    window.addEventListener('resize', () => {
      this.fitNames();
      this.keepFocusVisible();
    });
  }

  // ---- the connection's events -------------------------------------------------------

  welcome(w: Welcome): void {
    this.welcomed = w;
    this.ended = false;
    this.renderAll();
  }

  step(s: TableStep): void {
    if (s.kind === 'Snapshot') {
      // The table as it stands: whatever was still to show is behind it.
      this.queue = [];
      this.stopMotion();
      this.showing = false;
      ++this.generation;
    }
    this.queue.push({ step: s });
    this.showNext();
  }

  chat(seat: number, text: string): void {
    this.chatLines.push({ seat, text });
    if (this.chatLines.length > 200)
      this.chatLines.shift();
    this.chatLog.append(this.chatLine(seat, text));
    this.chatLog.scrollTop = this.chatLog.scrollHeight;
    this.announce(t('Network', '%1 says: %2', this.name(seat), text));
  }

  refused(reason: string): void {
    this.playSent = false;
    this.setHint(reasonText(reason));
    this.announce(reasonText(reason));
    this.renderHand();
  }

  bye(reason: string): void {
    this.ended = true;
    this.queue = [];
    ++this.generation;
    this.showing = false;
    this.stopMotion();
    const text = t('Network', 'You are no longer at the table: %1', reasonText(reason));
    this.setHint(text);
    this.announce(text);
    this.renderAll();
    // Who chose to leave needs no notice of it.
    if (!this.leaving)
      void this.notice(text, ['ok']);
  }

  connection(state: ConnectionState): void {
    this.root.dataset.connection = state;
    if (state === 'reconnecting')
      this.setHint(t('Network', 'Connection lost; reconnecting...'));
    else if (state === 'open' && this.hint === t('Network', 'Connection lost; reconnecting...'))
      this.setHint(t('Network', 'Back at the table.'));
    this.renderControls();
  }

  // ---- showing the steps one at a time -----------------------------------------------

  private showNext(): void {
    while (!this.showing && this.queue.length > 0) {
      const { step } = this.queue.shift()!;
      this.showing = true;
      const generation = this.generation;
      void this.present(step).then(() => {
        if (generation !== this.generation)
          return; // a step given up for a snapshot: the snapshot's own showing goes on
        this.showing = false;
        // What waited for the motion to end: the hand answers clicks again.
        this.renderHand();
        this.renderStatus();
        this.actions.shown(step.serial);
        this.showNext();
      });
      return;
    }
  }

  private async present(step: TableStep): Promise<void> {
    const before = this.view;
    const said = announcement(step, (seat) => this.name(seat));
    switch (step.kind) {
      case 'CardPlayed': {
        const from = this.leavingRect(step, before);
        this.view = step.view;
        if (step.seat === step.view.seat) {
          this.playSent = false;
          this.hideWarning();
        }
        this.renderAll();
        this.announce(said);
        await this.glideIn(step, from);
        return;
      }
      case 'TrickComplete':
        this.view = step.view;
        this.lastTrick = lastFullTrick(step.view.plays);
        this.renderAll();
        return;
      case 'TrickTaken':
        await this.sweep(step.seat);
        this.view = step.view;
        this.renderAll();
        this.announce(said);
        return;
      case 'Passed':
        this.view = step.view;
        this.renderAll();
        this.announce(said);
        await this.notice(t('Flow', 'Bids are less than 11; deal passes.'), ['ok']);
        return;
      case 'DealScored':
        this.view = step.view;
        this.setHint('');
        this.renderAll();
        this.announce(said);
        await this.openScores(true);
        return;
      case 'GameWon':
        this.view = step.view;
        this.renderAll();
        this.announce(said);
        await this.notice(gameWonText(step.view, (seat) => this.name(seat)), ['ok']);
        return;
      case 'DealStarted':
      case 'Snapshot':
        this.lastTrick = lastFullTrick(step.view.plays);
        this.hideWarning();
        this.chosenBid = 0;
        this.handFocus = 0;
        this.playSent = false;
        break;
      default:
        break;
    }
    this.view = step.view;
    if (step.kind === 'BidsPublic')
      this.setHint('');
    this.renderAll();
    this.announce(said);
    if (dealsInRhythm(step.kind, this.reducedMotion()))
      await this.deal(step.view);
  }

  // ---- motion --------------------------------------------------------------------------

  private reducedMotion(): boolean {
    return window.matchMedia?.('(prefers-reduced-motion: reduce)').matches ?? false;
  }

  private scale(): number {
    return this.felt.clientWidth / 560;
  }

  // Where a played card leaves from, read before the table is drawn anew.
  private leavingRect(step: TableStep, before: TableView | null): DOMRect | null {
    if (!step.card)
      return null;
    if (step.seat === step.view.seat) {
      const card = this.hand.querySelector<HTMLElement>(`[data-card="${step.card[0]}-${step.card[1]}"]`);
      return card?.getBoundingClientRect() ?? null;
    }
    const place = placeOf(step.view.seat, step.seat);
    const v = before ?? step.view;
    const shown = new Set(this.backsOf(v, step.seat));
    const after = new Set(this.backsOf(step.view, step.seat));
    const left = [...shown].find((k) => !after.has(k));
    const cut = this.felt.querySelector<HTMLElement>(`.cut[data-place="${place}"]`);
    const back = left !== undefined
      ? this.felt.querySelector<HTMLElement>(`.back[data-place="${place}"][data-slot="${left}"]`)
      : null;
    return (back ?? cut)?.getBoundingClientRect() ?? null;
  }

  private async glideIn(step: TableStep, from: DOMRect | null): Promise<void> {
    if (!step.card || !from)
      return;
    const place = placeOf(step.view.seat, step.seat);
    const card = this.felt.querySelector<HTMLElement>(`.trick[data-place="${place}"]`);
    if (!card || this.reducedMotion())
      return;
    const to = card.getBoundingClientRect();
    const s = this.scale();
    if (s <= 0)
      return;
    const path = glidePath({ x: from.left / s, y: from.top / s }, { x: to.left / s, y: to.top / s });
    const sw = from.width / to.width;
    const sh = from.height / to.height;
    const frames = path.points.map((p, i) => {
      const shrink = i === path.points.length - 1 ? 1 : 1 - p.offset;
      const kx = 1 + (sw - 1) * shrink;
      const ky = 1 + (sh - 1) * shrink;
      return {
        offset: p.offset,
        transform: `translate(${p.at.x * s - to.left}px, ${p.at.y * s - to.top}px) scale(${kx}, ${ky})`,
      };
    });
    await this.animate(card, frames, path.ms);
  }

  // The taken trick leaves toward its taker, one card after the other.
  private async sweep(taker: number): Promise<void> {
    const v = this.view;
    if (!v || this.reducedMotion())
      return;
    const s = this.scale();
    const feltBox = this.felt.getBoundingClientRect();
    const plan = sweepPlan(placeOf(v.seat, taker));
    for (const place of plan.order) {
      const card = this.felt.querySelector<HTMLElement>(`.trick[data-place="${place}"]`);
      if (!card || s <= 0)
        continue;
      const r = card.getBoundingClientRect();
      const from: Point = { x: (r.left - feltBox.left) / s, y: (r.top - feltBox.top) / s };
      const to = plan.edge(from);
      const path = glidePath(from, to);
      const frames = path.points.map((p) => ({
        offset: p.offset,
        transform: `translate(${(p.at.x - from.x) * s}px, ${(p.at.y - from.y) * s}px)`,
      }));
      await this.animate(card, frames, path.ms);
      card.classList.add('gone');
    }
  }

  // The cards are drawn once, hidden, then shown on their beat: only their opacity changes.
  private async deal(v: TableView): Promise<void> {
    const dealer = dealerSeat(v.dealerCounter);
    const cardOf = (r: Reveal): HTMLElement | null => r.place === 1
      ? this.hand.querySelector<HTMLElement>(`.hand-card[data-slot="${r.slot}"]`)
      : r.turned
        ? this.felt.querySelector<HTMLElement>(`.cut[data-place="${r.place}"]`)
        : this.felt.querySelector<HTMLElement>(`.back[data-place="${r.place}"][data-slot="${r.slot}"]`);
    const plan = dealPlan(placeOf(v.seat, dealer));
    const cards = plan.reveals.map(cardOf);
    for (const c of cards)
      c?.classList.add('undealt');
    const generation = this.generation;
    const shown = await dealInRhythm(plan, (r) => cardOf(r)?.classList.remove('undealt'), {
      now: () => performance.now(),
      wait: (ms) => new Promise((done) => { this.dealWake = done; window.setTimeout(done, ms); }),
    }, () => generation === this.generation && cards.every((c) => !c || c.isConnected));
    this.dealWake = null;
    // Given up (a snapshot, or the table drawn anew meanwhile): what stands shows whole.
    if (!shown) {
      for (const c of cards)
        c?.classList.remove('undealt');
    }
  }

  private dealWake: (() => void) | null = null;

  private running = new Set<Animation>();

  private animate(e: HTMLElement, frames: Keyframe[], ms: number): Promise<void> {
    if (ms <= 0 || typeof e.animate !== 'function')
      return Promise.resolve();
    const a = e.animate(frames, { duration: ms, easing: 'linear', fill: 'forwards' });
    this.running.add(a);
    return a.finished.then(() => undefined, () => undefined).finally(() => this.running.delete(a));
  }

  private stopMotion(): void {
    this.dealWake?.();
    for (const a of this.running)
      a.cancel();
    this.running.clear();
  }

  // ---- names -----------------------------------------------------------------------------

  name(seat: number): string {
    const w = this.welcomed;
    if (!w || seat < 1 || seat > 4)
      return '';
    return chairName(w.names[seat - 1] ?? '', (w.chairs[seat - 1] ?? 'open') as ChairKind);
  }

  // ---- building the page ---------------------------------------------------------------

  private build(): void {
    this.root.replaceChildren();
    this.root.classList.add('halbeet');

    this.header = el('header', 'bar');
    this.root.append(this.header);

    const main = el('main', 'play');
    this.tableBox = el('section', 'table');
    this.tableBox.dataset.test = 'table';
    this.felt = el('div', 'felt');
    this.felt.dir = 'ltr';
    this.hand = el('div', 'hand');
    this.hand.dir = 'ltr';
    this.hand.dataset.test = 'hand';
    this.hand.setAttribute('role', 'toolbar');
    this.hand.addEventListener('keydown', (e) => this.handKey(e));
    this.bidding = el('div', 'bidding');
    this.bidding.dataset.test = 'bidding';
    this.bidding.setAttribute('role', 'group');
    this.lobby = el('div', 'lobby');
    this.lobby.dataset.test = 'lobby';
    this.tableBox.append(this.felt, this.hand, this.bidding, this.lobby);

    const chat = el('aside', 'chat');
    this.chatTitle = el('h2', 'chat-title');
    chat.append(this.chatTitle);
    this.chatLog = el('div', 'chat-log');
    this.chatLog.dataset.test = 'chat-log';
    this.chatLog.setAttribute('role', 'log');
    // Its lines are spoken once, by the table's announcer.
    this.chatLog.setAttribute('aria-live', 'off');
    this.chatLog.tabIndex = 0;
    const form = el('form', 'chat-form');
    this.chatInput = el('input', 'chat-input');
    this.chatInput.type = 'text';
    this.chatInput.maxLength = MAX_CHAT_CHARS;
    this.chatInput.dir = 'auto';
    this.chatInput.autocomplete = 'off';
    this.chatInput.dataset.test = 'chat-input';
    this.chatSend = el('button', 'chat-send');
    this.chatSend.type = 'submit';
    this.chatSend.dataset.test = 'chat-send';
    form.append(this.chatInput, this.chatSend);
    form.addEventListener('submit', (e) => {
      e.preventDefault();
      const text = this.chatInput.value.trim();
      if (text === '' || this.ended)
        return;
      this.actions.say(text);
      this.chatInput.value = '';
    });
    chat.append(this.chatLog, form);
    main.append(this.tableBox, chat);
    this.root.append(main);

    this.status = el('footer', 'status');
    this.status.dataset.test = 'status';
    this.root.append(this.status);

    this.live = el('div', 'announcer visually-hidden');
    // A log: its lines come one after another and a label is allowed on it.
    this.live.setAttribute('role', 'log');
    this.live.setAttribute('aria-live', 'polite');
    this.live.setAttribute('aria-atomic', 'false');
    this.live.dataset.test = 'announcer';
    this.root.append(this.live);

    this.scoresDialog = this.dialog('scores');
    this.lastDialog = this.dialog('last-trick');
    this.noticeDialog = this.dialog('notice');
  }

  private dialog(test: string): HTMLDialogElement {
    const d = el('dialog', 'dialog ' + test);
    d.dataset.test = test;
    this.root.append(d);
    return d;
  }

  private applyLanguage(): void {
    const lang = currentLanguage();
    document.documentElement.lang = lang;
    document.documentElement.dir = lang === 'ar' ? 'rtl' : 'ltr';
    document.title = t('MainWindow', 'Halbeet');
    this.renderAll();
  }

  switchLanguage(lang: Language): void {
    setLanguage(lang);
  }

  private languageChanged(): void {
    this.applyLanguage();
    // The chat keeps its lines; their frame words follow the language.
    this.chatLog.replaceChildren(...this.chatLines.map((l) => this.chatLine(l.seat, l.text)));
  }

  // ---- drawing -------------------------------------------------------------------------

  private renderAll(): void {
    // A control drawn anew keeps the keyboard where it was: focus moves to its successor.
    const had = document.activeElement instanceof HTMLElement && this.root.contains(document.activeElement)
      ? document.activeElement : null;
    const test = had?.dataset.test;
    this.renderControls();
    this.renderFelt();
    this.renderHand();
    this.renderBidding();
    this.renderLobby();
    this.renderStatus();
    this.felt.setAttribute('aria-label', t('Access', 'Card table'));
    this.live.setAttribute('aria-label', t('Access', 'What happens in the game'));
    if (had && test && !document.contains(had)) {
      const same = had.dataset.card ? `[data-card="${had.dataset.card}"]` : had.dataset.bid ? `[data-bid="${had.dataset.bid}"]` : '';
      const successor = this.root.querySelector<HTMLElement>(`[data-test="${test}"]${same}`) ??
        this.root.querySelector<HTMLElement>(`[data-test="${test}"]`);
      successor?.focus();
    }
  }

  private button(text: string, test: string, onClick: () => void, cls = 'tool'): HTMLButtonElement {
    const b = el('button', cls, withoutMnemonic(text));
    b.type = 'button';
    b.dataset.test = test;
    b.addEventListener('click', onClick);
    return b;
  }

  private renderControls(): void {
    const w = this.welcomed;
    const title = el('h1', 'title', t('MainWindow', 'Halbeet'));
    const tableName = el('span', 'table-code');
    if (w)
      tableName.textContent = t('Network', 'Table %1', w.table);
    tableName.dir = 'auto';
    const tools = el('nav', 'tools');
    const scores = this.button(t('MainWindow', 'Scores'), 'scores-button', () => void this.openScores(false));
    const last = this.button(t('MainWindow', 'Last Trick'), 'last-trick-button', () => void this.openLastTrick());
    last.disabled = this.lastTrick.length === 0;
    const other: Language = currentLanguage() === 'ar' ? 'en' : 'ar';
    const lang = this.button(other === 'ar' ? t('MainWindow', 'العربية') : t('MainWindow', 'English'), 'language',
      () => this.switchLanguage(other));
    lang.lang = other;
    lang.setAttribute('aria-label', `${withoutMnemonic(t('MainWindow', 'Language'))}: ${lang.textContent}`);
    const leave = this.button(t('Network', '&Leave the table'), 'leave', () => void this.askLeave());
    leave.disabled = this.ended;
    tools.append(scores, last, lang, leave);
    this.header.replaceChildren(title, tableName, tools);
  }

  private renderLobby(): void {
    const w = this.welcomed;
    const v = this.view;
    this.lobby.replaceChildren();
    const waiting = !!w && !w.started && (!v || v.phase === 'no-deal') && !this.ended;
    this.lobby.hidden = !waiting;
    if (!waiting || !w)
      return;
    const host = w.host !== false;
    this.lobby.append(el('p', 'lobby-text', host ? t('Network', 'Start when your friends are seated.')
      : t('Network', 'Waiting for the host to start the game.')));
    if (host) {
      const start = this.button(t('Network', '&Start the game'), 'start', () => this.actions.start(), 'primary');
      this.lobby.append(start);
    }
  }

  // The felt: names, bid boxes, the hands of backs, the turned card, the trick, the markers.
  private renderFelt(): void {
    const v = this.view;
    const me = v?.seat ?? this.welcomed?.seat ?? 1;
    const parts: HTMLElement[] = [];
    const dealer = v && v.phase !== 'no-deal' ? dealerSeat(v.dealerCounter) : 0;
    const cutShown = !!v && v.phase === 'bidding' && v.cut[0] !== 0;

    for (const place of [1, 2, 3, 4] as Place[]) {
      const seat = seatAt(me, place);
      // Hands of backs, and the turned card of a dealer other than the bottom seat.
      if (v && place !== 1 && v.phase !== 'no-deal') {
        for (const k of this.backsOf(v, seat)) {
          if (cutShown && seat === dealer && k === 13)
            continue;
          const p = handHome(place, k);
          const b = el('div', 'card back small-shadow');
          b.dataset.place = String(place);
          b.dataset.slot = String(k);
          b.setAttribute('aria-hidden', 'true');
          placeOn(b, p.x, p.y, HandSize.w, HandSize.h);
          parts.push(b);
        }
        if (cutShown && seat === dealer) {
          const p = cutHome(place);
          const c = this.face(v.cut, 'card cut');
          c.dataset.place = String(place);
          c.dataset.test = 'cut-card';
          c.setAttribute('role', 'img');
          c.setAttribute('aria-label', t('Access', '%1 turned up %2', this.name(seat), cardName(v.cut)));
          placeOn(c, p.x, p.y, HandSize.w, HandSize.h);
          parts.push(c);
        }
        const count = el('span', 'visually-hidden', tk('Access', '%1: %2', 'hand', this.name(seat),
          cardCount(v.handCounts[seat - 1] ?? 0)));
        parts.push(count);
      }
      // Won-trick markers.
      if (v) {
        const won = v.takers.filter((s) => s === seat).length;
        for (let n = 1; n <= won && n <= 13; ++n) {
          const p = markerHome(place, n);
          const m = el('div', 'card back marker');
          m.dataset.place = String(place);
          m.setAttribute('aria-hidden', 'true');
          placeOn(m, p.x, p.y, MarkerSize.w, MarkerSize.h);
          parts.push(m);
        }
        if (won > 0)
          parts.push(el('span', 'visually-hidden', t('Access', '%1 has taken %2', this.name(seat),
            trickCount(won))));
      }
      // The name and the bid.
      const name = el('div', `name name-${placeName(place)}`);
      name.dataset.test = `name-${placeName(place)}`;
      name.dataset.seat = String(seat);
      name.dir = 'auto';
      name.textContent = this.name(seat);
      const roles = ['', t('Access', 'you'), t('Access', 'right-hand opponent'), t('Access', 'your partner'),
        t('Access', 'left-hand opponent')];
      name.title = roles[place] ?? '';
      const home = nameHome(place);
      name.style.maxWidth = `${(nameRoom(place) / 560) * 100}%`;
      if (place === 1) {
        name.style.right = `${((560 - BottomNameRight) / 560) * 100}%`;
        name.style.top = `${(home.y / 394) * 100}%`;
      } else {
        name.style.left = `${(home.x / 560) * 100}%`;
        name.style.top = `${(home.y / 394) * 100}%`;
      }
      if (v && v.toAct === seat && (v.phase === 'bidding' || v.phase === 'playing'))
        name.classList.add('to-act');
      parts.push(name);
      if (v && v.phase !== 'no-deal') {
        const box = el('div', 'bid-box');
        box.dataset.test = `bid-${placeName(place)}`;
        const p = bidBoxHome(place);
        placeOn(box, p.x, p.y, BidBoxSize.w, BidBoxSize.h);
        const made = v.bidMade[seat - 1] ?? false;
        const bid = v.bids[seat - 1] ?? 0;
        box.textContent = !made ? '' : bid !== 0 ? numberText(bid) : '?';
        box.setAttribute('role', 'img');
        box.setAttribute('aria-label', !made ? t('Access', 'Bid of %1: none yet', this.name(seat))
          : bid !== 0 ? t('Access', 'Bid of %1: %2', this.name(seat), numberText(bid))
            : t('Access', 'Bid of %1: not shown yet', this.name(seat)));
        parts.push(box);
      }
    }
    // The trick, its cards overlapping in play order.
    if (v) {
      const trick = currentTrick(v.plays, v.takers);
      trick.forEach((p, i) => {
        const place = placeOf(me, p[2]);
        const home = trickHome(place);
        const c = this.face([p[0], p[1]], 'card trick');
        c.dataset.place = String(place);
        c.dataset.test = 'trick-card';
        c.dataset.card = `${p[0]}-${p[1]}`;
        c.style.zIndex = String(20 + i);
        c.setAttribute('role', 'img');
        c.setAttribute('aria-label', tk('Access', '%1: %2', 'played', this.name(p[2]), cardName([p[0], p[1]])));
        placeOn(c, home.x, home.y, TrickSize.w, TrickSize.h);
        parts.push(c);
      });
    }
    // The follow-suit warning.
    const warn = el('div', 'warning');
    warn.dataset.test = 'warning';
    warn.hidden = !this.warningShown;
    warn.setAttribute('role', 'img');
    warn.setAttribute('aria-label', t('Access', 'That card does not follow suit'));
    warn.textContent = '!';
    placeOn(warn, WarningBox.x, WarningBox.y, WarningBox.w, WarningBox.h);
    parts.push(warn);
    this.felt.replaceChildren(...parts);
    this.fitNames();
  }

  // A long name is drawn smaller, down to a size still readable, within its room on the felt.
  private fitNames(): void {
    for (const name of Array.from(this.felt.querySelectorAll<HTMLElement>('.name'))) {
      name.style.fontSize = '';
      const range = document.createRange();
      range.selectNodeContents(name);
      const style = getComputedStyle(name);
      const share = parseFloat(name.style.maxWidth) / 100;
      const room = this.felt.clientWidth * share - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
      let size = parseFloat(style.fontSize);
      // The text's own width, fractions included: a name that fits shows no ellipsis.
      while (size > 9 && range.getBoundingClientRect().width > room) {
        size -= 1;
        name.style.fontSize = `${size}px`;
      }
    }
  }

  private backsOf(v: TableView, seat: number): number[] {
    if (v.phase === 'no-deal')
      return [];
    const dealer = dealerSeat(v.dealerCounter);
    const slots = backSlots(seat, dealer, v.plays, v.dealerCounter, v.cut);
    // A seat that came in late may hold fewer than the replay says: trust the count.
    return slots.slice(Math.max(0, slots.length - (v.handCounts[seat - 1] ?? 0)));
  }

  // A card's face: the deck's picture, or a plain face drawn here when the deck is missing.
  private face(card: Card, cls: string): HTMLElement {
    const c = el('div', cls);
    if (!this.deck.draw(c, elementId(card))) {
      c.classList.add('plain', card[0] === 3 || card[0] === 4 ? 'red' : 'black');
      const corner = el('span', 'corner', (RankText[card[1]] ?? '') + (SuitGlyph[card[0]] ?? ''));
      corner.setAttribute('aria-hidden', 'true');
      c.append(corner);
    }
    return c;
  }

  private myTurnToPlay(): boolean {
    const v = this.view;
    return !!v && cardClick(v, v.legalCards[0] ?? [0, 0], this.ended || this.playSent) === 'play';
  }

  private renderHand(): void {
    const v = this.view;
    if (!v || v.phase === 'no-deal') {
      this.hand.replaceChildren();
      this.hand.hidden = true;
      return;
    }
    this.hand.hidden = false;
    this.hand.setAttribute('aria-label', tk('Access', '%1: %2', 'hand', this.name(v.seat), cardCount(v.hand.length)));
    const slots = handSlots(v.hand, v.dealt);
    const dealer = dealerSeat(v.dealerCounter);
    const raised = v.phase === 'bidding' && dealer === v.seat ? v.cut : null;
    const turn = this.myTurnToPlay();
    this.handFocus = Math.min(this.handFocus, Math.max(0, v.hand.length - 1));
    const hadFocus = this.hand.contains(document.activeElement);
    const cards = v.hand.map((card, i) => {
      const b = this.face(card, 'card hand-card') as HTMLElement;
      const button = el('button', b.className);
      button.type = 'button';
      button.append(...Array.from(b.childNodes));
      button.dataset.test = 'hand-card';
      button.dataset.card = `${card[0]}-${card[1]}`;
      const p = handHome(1, slots[i] ?? i + 1);
      const up = raised && raised[0] === card[0] && raised[1] === card[1];
      button.style.setProperty('--x', String((p.x - 144) / 16));
      button.style.setProperty('--order', String(slots[i]));
      button.dataset.slot = String(slots[i]);
      if (up)
        button.classList.add('raised');
      if (turn && isLegal(card, v.legalCards))
        button.classList.add('playable');
      button.setAttribute('aria-label', cardName(card));
      button.setAttribute('aria-description', t('Access', 'in your hand'));
      button.setAttribute('aria-disabled', String(!turn));
      button.tabIndex = i === this.handFocus ? 0 : -1;
      button.addEventListener('click', () => { this.handFocus = i; this.playCard(card); });
      button.addEventListener('focus', () => { this.handFocus = i; });
      return button;
    });
    this.hand.replaceChildren(...cards);
    this.hand.classList.toggle('your-turn', turn);
    if (hadFocus)
      cards[this.handFocus]?.focus();
  }

  private handKey(e: KeyboardEvent): void {
    const cards = Array.from(this.hand.querySelectorAll<HTMLButtonElement>('button'));
    const next = nextIndex(this.handFocus, cards.length, e.key);
    if (next !== this.handFocus && next >= 0) {
      e.preventDefault();
      const from = cards[this.handFocus];
      const to = cards[next];
      if (from)
        from.tabIndex = -1;
      this.handFocus = next;
      if (to) {
        to.tabIndex = 0;
        to.focus();
      }
    }
  }

  private keepFocusVisible(): void {
    const a = document.activeElement;
    if (a instanceof HTMLElement && this.root.contains(a))
      a.scrollIntoView({ block: 'nearest', inline: 'nearest' });
  }

  private playCard(card: Card): void {
    // Not this seat's turn, a step still being shown, or its card already on the way: the
    // click does nothing. A card that does not follow suit is refused with the warning.
    switch (cardClick(this.view, card, this.ended || this.playSent || this.showing)) {
      case 'ignore':
        return;
      case 'refuse':
        this.showWarning();
        return;
      case 'play':
        this.playSent = true;
        this.hideWarning();
        this.actions.play(card);
        this.renderHand();
    }
  }

  private showWarning(): void {
    this.warningShown = true;
    const w = this.felt.querySelector<HTMLElement>('.warning');
    if (w)
      w.hidden = false;
    this.beep();
    this.announce(t('Access', 'That card does not follow suit'));
  }

  private hideWarning(): void {
    this.warningShown = false;
    const w = this.felt.querySelector<HTMLElement>('.warning');
    if (w)
      w.hidden = true;
  }

  // The system's short beep, as near as a page comes to it.
  private beep(): void {
    try {
      const Ctor = window.AudioContext ?? (window as unknown as { webkitAudioContext?: typeof AudioContext }).webkitAudioContext;
      if (!Ctor)
        return;
      this.audio ??= new Ctor();
      const osc = this.audio.createOscillator();
      const gain = this.audio.createGain();
      osc.frequency.value = 800;
      gain.gain.value = 0.08;
      osc.connect(gain).connect(this.audio.destination);
      osc.start();
      osc.stop(this.audio.currentTime + 0.12);
    } catch {
      // No sound: the picture says it.
    }
  }

  private renderBidding(): void {
    const v = this.view;
    const asked = !!v && !this.ended && v.phase === 'bidding' && v.toAct === v.seat && v.legalBids.length > 0;
    this.bidding.hidden = !asked;
    if (!asked || !v) {
      this.bidding.replaceChildren();
      return;
    }
    if (!v.legalBids.includes(this.chosenBid))
      this.chosenBid = 0;
    const label = el('span', 'bid-label', t('MainWindow', 'Choose your bid'));
    label.id = 'bid-label';
    this.bidding.setAttribute('aria-labelledby', 'bid-label');
    const list = el('div', 'bid-list');
    const hadFocus = this.bidding.contains(document.activeElement) ? (document.activeElement as HTMLElement).dataset.bid : undefined;
    for (const stored of v.legalBids) {
      const b = this.button(bidName(stored), 'bid-button', () => {
        this.chosenBid = stored;
        this.renderBidding();
      }, 'bid');
      b.dataset.bid = String(stored);
      b.setAttribute('aria-pressed', String(stored === this.chosenBid));
      list.append(b);
    }
    const ok = this.button(t('MainWindow', 'Ok'), 'bid-ok', () => {
      if (this.chosenBid === 0)
        return;
      const stored = this.chosenBid;
      this.chosenBid = 0;
      this.bidding.hidden = true;
      this.actions.bid(stored);
    }, 'primary');
    ok.disabled = this.chosenBid === 0;
    this.bidding.replaceChildren(label, list, ok);
    if (hadFocus)
      this.bidding.querySelector<HTMLElement>(`[data-bid="${hadFocus}"]`)?.focus();
  }

  private setHint(text: string): void {
    this.hint = text;
    this.renderStatus();
  }

  // The status bar: the trump, the dealer, who plays, the hint, and the scores.
  private renderStatus(): void {
    const v = this.view;
    const inDeal = !!v && v.phase !== 'no-deal' && v.phase !== 'game-over';
    const panel = (cls: string, ...content: (Node | string)[]) => {
      const p = el('div', 'panel ' + cls);
      p.append(...content);
      return p;
    };
    const trump = el('span', 'trump-suit');
    if (inDeal && v && v.trump >= 1) {
      trump.textContent = SuitGlyph[v.trump] ?? '';
      trump.classList.add(v.trump >= 3 ? 'red' : 'black');
    }
    const trumpPanel = panel('trump', el('span', 'label', t('MainWindow', 'Halbeet')), trump);
    trumpPanel.setAttribute('role', 'img');
    trumpPanel.setAttribute('aria-label', inDeal && v && v.trump >= 1
      ? t('Access', 'Trump: %1', suitName(v.trump)) : t('Access', 'Trump: none'));
    const dealer = inDeal && v ? this.name(dealerSeat(v.dealerCounter)) : '';
    const toPlay = inDeal && v && v.toAct >= 1 ? this.name(v.toAct) : '';
    const dealerName = el('bdi', 'value', dealer);
    const playName = el('bdi', 'value', toPlay);
    const dealPanel = panel('deal', el('span', 'label', t('MainWindow', 'Deal')), dealerName);
    dealPanel.setAttribute('aria-label', t('Access', 'Dealer: %1', dealer));
    const playPanel = panel('to-play', el('span', 'label', t('MainWindow', 'Play')), playName);
    playPanel.setAttribute('aria-label', t('Access', 'To play: %1', toPlay));
    playPanel.dataset.test = 'to-play';
    let hint = this.hint;
    if (hint === '' && v && v.phase === 'bidding' && v.toAct === v.seat && v.legalBids.length > 0)
      hint = t('Flow', 'Choose your bid ...');
    if (hint === '' && v && this.myTurnToPlay())
      hint = t('Access', 'Your turn');
    const hintPanel = panel('hint', el('span', 'value', hint));
    hintPanel.dir = 'auto';
    hintPanel.dataset.test = 'hint';
    const scores = panel('scores');
    if (v) {
      for (let seat = 1; seat <= 4; ++seat) {
        const item = el('span', 'score');
        item.append(isolated(tk('Access', '%1: %2', 'score'), [this.name(seat), numberText(v.scores[seat - 1] ?? 0)], ['who', 'n']));
        scores.append(item);
      }
    }
    for (const p of [trumpPanel, dealPanel, playPanel])
      p.setAttribute('role', p === trumpPanel ? 'img' : 'group');
    this.status.setAttribute('aria-label', t('Access', 'Status bar'));
    this.status.setAttribute('role', 'contentinfo');
    this.status.replaceChildren(trumpPanel, dealPanel, playPanel, hintPanel, scores);

    this.chatTitle.textContent = t('Network', 'Chat');
    this.chatInput.placeholder = t('Network', 'Say something to the table');
    this.chatInput.setAttribute('aria-label', t('Network', 'Say something to the table'));
    this.chatSend.textContent = t('Network', 'Send');
    this.chatInput.disabled = this.ended;
    this.chatSend.disabled = this.ended;
  }

  private chatLine(seat: number, text: string): HTMLElement {
    const line = el('p', 'chat-line');
    line.dir = 'auto';
    line.append(isolated(t('Network', '%1 says: %2'), [this.name(seat), text], ['who', 'words']));
    return line;
  }

  private announce(text: string): void {
    if (!text)
      return;
    const line = el('p', '', text);
    this.live.append(line);
    while (this.live.childElementCount > 5)
      this.live.firstElementChild?.remove();
  }

  // ---- dialogs ---------------------------------------------------------------------------

  // Opens a dialog modally; resolves when it closes, with focus back where it was.
  private openDialog(d: HTMLDialogElement, first?: HTMLElement): Promise<string> {
    const opener = document.activeElement instanceof HTMLElement ? document.activeElement : null;
    const openerTest = opener?.dataset.test;
    // Tab goes round the dialog's own controls and never out of it.
    const trap = (e: KeyboardEvent) => {
      if (e.key !== 'Tab')
        return;
      const inside = Array.from(d.querySelectorAll<HTMLElement>('button, input, [tabindex]'))
        .filter((x) => x.tabIndex >= 0 && !(x as HTMLButtonElement).disabled);
      const first = inside[0];
      const last = inside[inside.length - 1];
      if (!first || !last)
        return;
      const at = document.activeElement;
      if (e.shiftKey ? at === first || !d.contains(at) : at === last || !d.contains(at)) {
        e.preventDefault();
        (e.shiftKey ? last : first).focus();
      }
    };
    return new Promise((resolve) => {
      const closed = () => {
        d.removeEventListener('keydown', trap);
        d.removeEventListener('close', closed);
        // The table may have been drawn anew meanwhile: then focus goes to the control
        // that took the opener's place.
        const back = opener && document.contains(opener) ? opener
          : openerTest ? this.root.querySelector<HTMLElement>(`[data-test="${openerTest}"]`) : null;
        back?.focus();
        resolve(d.returnValue);
      };
      d.addEventListener('close', closed);
      d.addEventListener('keydown', trap);
      d.returnValue = '';
      if (d.open)
        d.close();
      d.showModal();
      first?.focus();
    });
  }

  private notice(text: string, buttons: ('ok' | 'yes' | 'no')[]): Promise<string> {
    const d = this.noticeDialog;
    const body = el('p', 'notice-text');
    body.id = 'notice-text';
    d.setAttribute('aria-describedby', body.id);
    body.dir = 'auto';
    body.textContent = text;
    const row = el('div', 'buttons');
    const names = { ok: t('MessageDialog', '&Ok'), yes: t('MessageDialog', '&Yes'), no: t('MessageDialog', '&No') };
    const made = buttons.map((b) => {
      const btn = this.button(names[b], `notice-${b}`, () => d.close(b), b === 'no' ? 'tool' : 'primary');
      row.append(btn);
      return btn;
    });
    d.setAttribute('aria-label', t('MainWindow', 'Halbeet'));
    d.replaceChildren(body, row);
    return this.openDialog(d, made[0]);
  }

  // The player's name, asked once before the first table: the desktop's welcome and
  // question, and its notice for an empty name.
  async askName(): Promise<string> {
    const d = this.noticeDialog;
    const title = el('h2', 'dialog-title', t('NameDialog', 'Welcome to Halbeet'));
    title.id = 'name-title';
    d.setAttribute('aria-labelledby', title.id);
    d.removeAttribute('aria-describedby');
    const form = el('form', 'name-form');
    const label = el('label', 'name-label', t('NameDialog', 'What is your name?'));
    const input = el('input', 'name-input');
    input.type = 'text';
    input.dir = 'auto';
    input.maxLength = MAX_NAME_CHARS;
    input.setAttribute('autocomplete', 'nickname');
    input.dataset.test = 'name-input';
    input.id = 'name-input';
    label.htmlFor = input.id;
    const problem = el('p', 'name-problem');
    problem.setAttribute('role', 'alert');
    const ok = el('button', 'primary', withoutMnemonic(t('NameDialog', '&Ok')));
    ok.type = 'submit';
    ok.dataset.test = 'name-ok';
    const row = el('div', 'buttons');
    row.append(ok);
    form.append(label, input, problem, row);
    d.replaceChildren(title, form);
    for (;;) {
      const answer = new Promise<string>((resolve) => {
        form.onsubmit = (e) => {
          e.preventDefault();
          resolve(input.value.trim());
        };
      });
      const shown = this.openDialog(d, input);
      const name = await Promise.race([answer, shown.then(() => null)]);
      if (name) {
        d.close('ok');
        return name;
      }
      // Closed without a name, or an empty one: asked again, as the desktop asks.
      problem.textContent = t('Names', 'Please type your name.');
    }
  }

  private async askLeave(): Promise<void> {
    const answer = await this.notice(t('Network', 'Leave the table? A computer will play your seat.'), ['yes', 'no']);
    if (answer === 'yes') {
      this.leaving = true;
      this.ended = true;
      this.actions.leave();
      this.renderAll();
    }
  }

  private openScores(afterDeal: boolean): Promise<string> {
    const d = this.scoresDialog;
    const v = this.view;
    const me = v?.seat ?? this.welcomed?.seat ?? 1;
    const heading = el('h2', 'dialog-title', t('ScoreSheet', 'Scores'));
    heading.id = 'scores-title';
    d.setAttribute('aria-labelledby', 'scores-title');
    const table = el('table', 'sheet');
    table.dataset.test = 'score-sheet';
    const head = el('tr');
    // This seat's column first, its partner next: the reading order puts them at the start.
    const order = [me, seatAt(me, 3), seatAt(me, 2), seatAt(me, 4)];
    for (const seat of order) {
      const th = el('th', seat === me || seat === seatAt(me, 3) ? 'ours' : 'theirs', this.name(seat));
      th.dir = 'auto';
      th.scope = 'col';
      head.append(th);
    }
    const thead = el('thead');
    thead.append(head);
    const body = el('tbody');
    const rows = v?.scoreRows ?? [];
    rows.forEach((row, i) => {
      const tr = el('tr', i < rows.length - 1 ? 'earlier' : 'latest');
      for (const seat of order) {
        const td = el('td', v && v.winner === seat ? 'winner' : '', numberText(row[seat - 1] ?? 0));
        tr.append(td);
      }
      body.append(tr);
    });
    table.append(thead, body);
    const ok = this.button(t('ScoreSheet', '&Ok'), 'scores-ok', () => d.close('ok'), 'primary');
    const row = el('div', 'buttons');
    row.append(ok);
    d.replaceChildren(heading, table, row);
    d.dataset.afterDeal = String(afterDeal);
    return this.openDialog(d, ok);
  }

  private openLastTrick(): Promise<string> {
    const d = this.lastDialog;
    const me = this.view?.seat ?? this.welcomed?.seat ?? 1;
    const heading = el('h2', 'dialog-title', t('LastTrick', 'Last Shot'));
    heading.id = 'last-title';
    d.setAttribute('aria-labelledby', 'last-title');
    const area = el('div', 'last-area');
    area.dir = 'ltr';
    for (const p of this.lastTrick) {
      const c = this.face([p[0], p[1]], 'card last');
      c.dataset.place = placeName(placeOf(me, p[2]));
      c.setAttribute('role', 'img');
      c.setAttribute('aria-label', tk('Access', '%1: %2', 'lastTrickCard', this.name(p[2]), cardName([p[0], p[1]])));
      area.append(c);
    }
    const close = this.button(t('LastTrick', 'Close'), 'last-trick-close', () => d.close('close'), 'primary');
    const row = el('div', 'buttons');
    row.append(close);
    d.replaceChildren(heading, area, row);
    return this.openDialog(d, close);
  }
}

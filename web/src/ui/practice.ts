// SPDX-License-Identifier: GPL-3.0-or-later
// A table without a server, for looking at the page alone (opened with #practice): it deals,
// lets the other chairs bid and play the first card they may, and tells the page each step
// the way a table does, waiting for each to be shown.

import type { Card, Phase, PlayedCard, TableActions, TableEvents, TableStep, TableView, StepKind, Welcome } from './api';

function shuffled(seed: number): Card[] {
  const cards: Card[] = [];
  for (let s = 1; s <= 4; ++s)
    for (let r = 1; r <= 13; ++r)
      cards.push([s, r]);
  let x = seed >>> 0 || 1;
  for (let i = cards.length - 1; i > 0; --i) {
    x ^= x << 13; x >>>= 0; x ^= x >>> 17; x ^= x << 5; x >>>= 0;
    const j = x % (i + 1);
    [cards[i], cards[j]] = [cards[j]!, cards[i]!];
  }
  return cards;
}

const rankOrder = (r: number) => (r === 1 ? 14 : r);

export class PracticeTable implements TableActions {
  private events: TableEvents;
  private me = 1;
  private serial = 0;
  private waiting = 0;
  private next: (() => void) | null = null;
  private hands: Card[][] = [[], [], [], []];
  private dealt: Card[] = [];
  private plays: PlayedCard[] = [];
  private takers: number[] = [];
  private bids: number[] = [0, 0, 0, 0];
  private made: boolean[] = [false, false, false, false];
  private scores: number[] = [0, 0, 0, 0];
  private rows: number[][] = [];
  private dealerCounter = 0;
  private trump = 0;
  private cut: Card = [0, 0];
  private phase: Phase = 'no-deal';
  private toAct = 0;
  private deals = 0;
  private pace: number;
  // The page may act only once asked, as at a real table.
  private asked = false;

  constructor(events: TableEvents, pace = 350) {
    this.events = events;
    this.pace = pace;
  }

  begin(names: [string, string, string, string]): void {
    this.events.connection('open');
    this.events.welcome({ seat: this.me, table: 'PRACTICE', names, chairs: ['person', 'computer', 'person', 'away'],
      started: false, host: true } as Welcome);
  }

  private view(): TableView {
    const m = this.me - 1;
    const ask = this.asked && this.toAct === this.me;
    return {
      seat: this.me, phase: this.phase, toAct: this.toAct, dealerCounter: this.dealerCounter, trump: this.trump,
      cut: this.cut, hand: [...this.hands[m]!], dealt: [...this.dealt],
      bids: this.bids.map((b, i) => (this.phase === 'bidding' && i !== m ? 0 : b)) as unknown as TableView['bids'],
      bidMade: [...this.made] as unknown as TableView['bidMade'],
      scores: [...this.scores] as unknown as TableView['scores'],
      plays: [...this.plays], takers: [...this.takers],
      handCounts: this.hands.map((h) => h.length) as unknown as TableView['handCounts'],
      scoreRows: this.rows.map((r) => [...r] as unknown as TableView['scores']),
      passed: false, scored: this.phase === 'deal-over', winner: 0, deals: this.deals,
      legalBids: ask && this.phase === 'bidding' ? this.legalBids(this.me) : [],
      legalCards: ask && this.phase === 'playing' ? this.legalCards(this.me) : [],
    };
  }

  private tell(kind: StepKind, seat = 0, card: Card | null = null, value = 0, then: () => void = () => undefined): void {
    const step: TableStep = { kind, seat, card, value, serial: ++this.serial, view: this.view() };
    this.waiting = step.serial;
    this.next = () => setTimeout(then, kind === 'CardPlayed' || kind === 'BidMade' ? this.pace : 0);
    this.events.step(step);
  }

  shown(serial: number): void {
    if (serial !== this.waiting || !this.next)
      return;
    const go = this.next;
    this.next = null;
    go();
  }

  start(): void {
    this.deal();
  }

  private deal(): void {
    const deck = shuffled(7919 * (this.deals + 1));
    const dealer = this.dealerCounter === 0 ? 4 : this.dealerCounter;
    this.hands = [0, 1, 2, 3].map((s) => deck.slice(s * 13, s * 13 + 13));
    this.cut = this.hands[dealer - 1]![0]!;
    this.trump = [0, 2, 1, 4, 3][this.cut[0]]!;
    const order = [1, 2, 4, 3];
    this.hands[this.me - 1]!.sort((a, b) => order.indexOf(a[0]) - order.indexOf(b[0]) || rankOrder(a[1]) - rankOrder(b[1]));
    this.dealt = [...this.hands[this.me - 1]!];
    this.plays = [];
    this.takers = [];
    this.bids = [0, 0, 0, 0];
    this.made = [false, false, false, false];
    this.phase = 'bidding';
    this.toAct = (dealer % 4) + 1;
    this.deals++;
    this.tell('DealStarted', dealer, null, 0, () => this.bidTurn());
  }

  private legalBids(seat: number): number[] {
    const s = this.scores[seat - 1]!;
    const low = s >= 40 ? 4 : s >= 30 ? 3 : 2;
    const out: number[] = [];
    for (let n = low; n <= 13; ++n)
      out.push(n >= 7 ? n * 2 : n);
    return out;
  }

  private bidTurn(): void {
    if (this.made.every((m) => m)) {
      this.phase = 'playing';
      this.toAct = ((this.dealerCounter === 0 ? 4 : this.dealerCounter) % 4) + 1;
      this.tell('BidsPublic', 0, null, 0, () => this.playTurn());
      return;
    }
    if (this.toAct === this.me) {
      this.asked = true;
      this.tell('Asked', this.me);
      return;
    }
    const seat = this.toAct;
    this.bids[seat - 1] = 3 + (seat % 2);
    this.made[seat - 1] = true;
    this.toAct = this.made.every((m) => m) ? 0 : (seat % 4) + 1;
    this.tell('BidMade', seat, null, 0, () => this.bidTurn());
  }

  bid(stored: number): void {
    if (!this.asked || this.phase !== 'bidding' || this.toAct !== this.me || !this.legalBids(this.me).includes(stored)) {
      this.events.refused('not now');
      return;
    }
    this.asked = false;
    this.bids[this.me - 1] = stored;
    this.made[this.me - 1] = true;
    this.toAct = this.made.every((m) => m) ? 0 : (this.me % 4) + 1;
    this.tell('BidMade', this.me, null, stored, () => this.bidTurn());
  }

  private legalCards(seat: number): Card[] {
    const hand = this.hands[seat - 1]!;
    const start = this.takers.length * 4;
    const led = this.plays.length > start ? this.plays[start]![0] : 0;
    const follow = hand.filter((c) => c[0] === led);
    return follow.length > 0 ? follow : [...hand];
  }

  private playTurn(): void {
    if (this.toAct === this.me) {
      this.asked = true;
      this.tell('Asked', this.me);
      return;
    }
    this.playFor(this.toAct, this.legalCards(this.toAct)[0]!);
  }

  play(card: Card): void {
    const legal = this.legalCards(this.me);
    if (!this.asked || this.phase !== 'playing' || this.toAct !== this.me || !legal.some((c) => c[0] === card[0] && c[1] === card[1])) {
      this.events.refused('not now');
      return;
    }
    this.asked = false;
    this.playFor(this.me, card);
  }

  private playFor(seat: number, card: Card): void {
    const hand = this.hands[seat - 1]!;
    hand.splice(hand.findIndex((c) => c[0] === card[0] && c[1] === card[1]), 1);
    this.plays.push([card[0], card[1], seat]);
    const inTrick = this.plays.length - this.takers.length * 4;
    const leads = inTrick === 1 ? 1 : 0;
    if (inTrick < 4) {
      this.toAct = (seat % 4) + 1;
      this.tell('CardPlayed', seat, card, leads, () => this.playTurn());
      return;
    }
    this.toAct = 0;
    this.phase = 'trick-complete';
    this.tell('CardPlayed', seat, card, leads, () => {
      this.tell('TrickComplete', 0, null, 0, () => setTimeout(() => this.take(), 1000));
    });
  }

  private take(): void {
    const trick = this.plays.slice(this.takers.length * 4);
    const led = trick[0]![0];
    let best = trick[0]!;
    for (const p of trick) {
      const beats = (p[0] === best[0] && rankOrder(p[1]) > rankOrder(best[1])) || (p[0] === this.trump && best[0] !== this.trump);
      if (beats || (p[0] === led && best[0] !== led && best[0] !== this.trump))
        best = p;
    }
    this.takers.push(best[2]);
    const count = this.takers.filter((s) => s === best[2]).length;
    if (this.takers.length === 13) {
      this.phase = 'deal-over';
      this.tell('TrickTaken', best[2], null, count, () => this.score());
      return;
    }
    this.phase = 'playing';
    this.toAct = best[2];
    this.tell('TrickTaken', best[2], null, count, () => this.playTurn());
  }

  private score(): void {
    for (let s = 1; s <= 4; ++s) {
      const bid = this.bids[s - 1]!;
      const tricks = bid >= 14 ? bid / 2 : bid;
      const took = this.takers.filter((x) => x === s).length;
      this.scores[s - 1]! += took >= tricks ? bid : -bid;
    }
    this.rows.push([...this.scores]);
    this.dealerCounter = (this.dealerCounter + 1) % 4;
    this.tell('DealScored', 0, null, 0, () => this.deal());
  }

  say(text: string): void {
    this.events.chat(this.me, text);
    setTimeout(() => this.events.chat(3, text.length > 20 ? '👍' : 'مرحبا يا ' + 'Sam'), 300);
  }

  leave(): void {
    this.events.bye('left');
  }
}

// SPDX-License-Identifier: GPL-3.0-or-later
// A seat's table as the page holds it: built from a whole view, kept up by the changes after
// it, exactly as the desktop client keeps its copy.

import { sameCard, type TableStep, type TableView } from './model';
import { MAX_SCORE_ROWS, type TableUpdate } from './protocol';

export class SeatTable {
  private held: TableView | null = null;
  private lastSerial = 0;
  private last: TableUpdate | null = null;

  get hasView(): boolean {
    return this.held !== null;
  }

  // The view as it stands; null before the first whole view.
  get view(): TableView | null {
    return this.held;
  }

  // The serial of the last step applied: what the page names when it comes back.
  get serial(): number {
    return this.lastSerial;
  }

  // Takes the update when it fits what is held: a change needs a view to change, steps come in
  // order (the question after a step bears the step's serial), a card can leave only a hand
  // that holds it, and a deal has only so many cards and tricks. Otherwise it is refused and
  // the table holds what it held. Every view handed out is a new object, never changed after.
  apply(u: TableUpdate): boolean {
    const repeatable = u.kind === 'Snapshot' || u.kind === 'Asked';
    if (u.whole) {
      if (this.held && (u.serial < this.lastSerial || (u.serial === this.lastSerial && !repeatable))) return false;
      const f = u.fields;
      if (f.phase === undefined || f.toAct === undefined || f.dealerCounter === undefined ||
          f.trump === undefined || f.cut === undefined || f.hand === undefined || f.dealt === undefined ||
          f.bids === undefined || f.bidMade === undefined || f.scores === undefined || f.plays === undefined ||
          f.takers === undefined || f.handCounts === undefined || f.scoreRows === undefined ||
          f.passed === undefined || f.scored === undefined || f.winner === undefined || f.deals === undefined ||
          u.viewSeat === 0)
        return false;
      return this.take(u, {
        seat: u.viewSeat, phase: f.phase, toAct: f.toAct, dealerCounter: f.dealerCounter, trump: f.trump,
        cut: f.cut, hand: f.hand, dealt: f.dealt, bids: f.bids, bidMade: f.bidMade, scores: f.scores,
        plays: f.plays, takers: f.takers, handCounts: f.handCounts, scoreRows: f.scoreRows, passed: f.passed,
        scored: f.scored, winner: f.winner, deals: f.deals,
        legalBids: u.legalBids, legalCards: u.legalCards,
      });
    }
    if (!this.held || u.serial < this.lastSerial || (u.serial === this.lastSerial && u.kind !== 'Asked'))
      return false;
    const v: TableView = { ...this.held, ...u.fields, legalBids: u.legalBids, legalCards: u.legalCards };
    if (u.handOut) {
      const out = u.handOut;
      const at = v.hand.findIndex((c) => sameCard(c, out));
      if (at < 0) return false;
      v.hand = v.hand.filter((_, k) => k !== at);
    }
    if (u.playsAdded.length > 0) {
      if (v.plays.length + u.playsAdded.length > 52) return false;
      v.plays = [...v.plays, ...u.playsAdded];
    }
    if (u.takersAdded.length > 0) {
      if (v.takers.length + u.takersAdded.length > 13) return false;
      v.takers = [...v.takers, ...u.takersAdded];
    }
    if (u.scoreRowsAdded.length > 0) {
      if (v.scoreRows.length + u.scoreRowsAdded.length > MAX_SCORE_ROWS) return false;
      v.scoreRows = [...v.scoreRows, ...u.scoreRowsAdded];
    }
    return this.take(u, v);
  }

  // The last step applied with the view after it, as the page hands it to the table.
  lastStep(): TableStep | null {
    if (!this.held || !this.last) return null;
    const u = this.last;
    return { kind: u.kind, seat: u.seat, card: u.card, value: u.value, serial: u.serial, view: this.held };
  }

  private take(u: TableUpdate, v: TableView): true {
    // Views share their arrays with the ones before and after: nobody may change them.
    for (const value of Object.values(v)) if (Array.isArray(value)) Object.freeze(value);
    this.held = Object.freeze(v);
    this.lastSerial = u.serial;
    this.last = u;
    return true;
  }
}

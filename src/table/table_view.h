// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Everything one seat may know of its table at a moment, and nothing more: the seat's own
// information state (its SeatView) with the public facts of the game around it. Whatever a
// window or a remote player is shown of a table is built from one of these.

#include <cstdint>
#include <vector>

#include "core/game.h"
#include "core/seat_view.h"

namespace halbeet {

struct TableView {
    // The seat's own hand, the cut card, the bids it has seen, the scores and every card
    // played with who played it. No other field can hold a card of another hand.
    SeatView seat;

    Phase phase = Phase::NoDeal;
    // The seat whose action is awaited, 0 when the game takes its own step.
    int toAct = 0;
    std::int32_t dealerCounter = 0;
    // Which seats have bid (their bids may still be hidden from this seat: seat.Bids is 0).
    PerSeat<bool> bidMade{};
    // The seat's own hand as it was dealt, in the order the game shows it (slots 1..13).
    THand ownDealtHand{};
    // Cards left in each hand.
    PerSeat<std::int32_t> handCounts{};
    // The taker of each trick of the deal, in order.
    std::vector<int> takers;
    // The running scores after each scored deal of the game, oldest first.
    std::vector<PerSeat<std::int32_t>> scoreRows;
    bool passed = false;
    bool scored = false;
    int winner = 0;
    std::int64_t dealsDealt = 0;
    // This seat's legal actions while it is to act; empty otherwise.
    std::vector<std::int32_t> legalBids;
    std::vector<TCardFace> legalCards;

    int dealer() const { return DealerSeat(dealerCounter); }
    // The cards lying in the trick in progress, a complete trick included until it is taken.
    std::vector<TTrickCard> cardsOnTable() const;
    // The last trick taken in this deal, or nothing.
    std::vector<TTrickCard> lastTrick() const;

    friend bool operator==(const TableView&, const TableView&) = default;
};

// What seat may know of game now. The one function through which a table is told to a seat.
TableView TableViewOf(const GameModel& game, int seat);

} // namespace halbeet

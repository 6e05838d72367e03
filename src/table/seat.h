// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The seats of a table: what a seat is asked and told, and the one interface every kind of
// seat answers through (the local player, the Classic rule set, the Expert, a player at another
// computer). A seat answers in its own time; the table controller checks every answer.

#include <cstdint>
#include <functional>

#include "table/table_view.h"

namespace halbeet {

// What a seat is told of one step of the game: the step, and its view of the table after it.
// The step's fields carry only what that seat may know (a bid it may not see yet reads 0).
struct SeatEvent {
    enum class Kind {
        Snapshot,      // the table as it stands (a seat that joins, a restored game); lay it out
        DealStarted,   // seat: the dealer; card: the turned card
        BidMade,       // seat; value: the stored bid, or 0 while it is hidden from this seat
        BidsPublic,    // every bid is shown; the deal is played
        Passed,        // the bids total under 11; the next deal follows
        CardPlayed,    // seat, card; value: its place in the trick (1..4)
        TrickComplete, // seat: who takes it
        TrickTaken,    // seat: the taker; value: his tricks in this deal
        DealScored,    // the scores have moved
        GameWon,       // seat: the winner
        NewGame,       // scores and the score sheet start again
        Asked,         // this seat is asked to act now; its view lists the choices
    };
    Kind kind{};
    int seat = 0;
    TCardFace card{};
    std::int32_t value = 0;
    // Counts every event the controller has told, from 1: a view shows them in this order.
    std::uint64_t serial = 0;
    TableView view;
};

const char* SeatEventName(SeatEvent::Kind kind);

// The one place where a step of the game becomes what one seat is told of it: every field
// comes from that seat's view of the table after the step.
SeatEvent SeatEventOf(const GameEvent& event, const TableView& viewOfSeat);

// A seat's answer: a bid while bidding, a card while playing.
struct SeatAction {
    std::int32_t bid = 0;
    TCardFace card{};

    static SeatAction ofBid(std::int32_t storedBid) { return {storedBid, {}}; }
    static SeatAction ofCard(TCardFace c) { return {0, c}; }
};

// Delivers a seat's answer to the controller that asked, from any thread; an answer to a
// question that is no longer open (a new deal, New Game, a close) is dropped there.
using SeatAnswer = std::function<void(const SeatAction&)>;

class Seat {
public:
    virtual ~Seat() = default;
    // The controller asks for this seat's bid or card; view.legalBids or view.legalCards lists
    // the choices. The answer may come at once or much later.
    virtual void act(const TableView& view, SeatAnswer answer) = 0;
    // The question asked last is withdrawn: its answer, if it still comes, is not wanted.
    virtual void withdraw() {}
    // One step of the game as this seat may know it.
    virtual void tell(const SeatEvent& /*event*/) {}
    // A computer seat's card comes after the play delay, so that a person can follow it.
    virtual bool isComputer() const = 0;
};

} // namespace halbeet

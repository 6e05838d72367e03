// SPDX-License-Identifier: GPL-3.0-or-later
// What one seat is told of a step of the game.

#include "table/seat.h"

namespace halbeet {

const char* SeatEventName(SeatEvent::Kind kind)
{
    switch (kind) {
    case SeatEvent::Kind::Snapshot: return "Snapshot";
    case SeatEvent::Kind::DealStarted: return "DealStarted";
    case SeatEvent::Kind::BidMade: return "BidMade";
    case SeatEvent::Kind::BidsPublic: return "BidsPublic";
    case SeatEvent::Kind::Passed: return "Passed";
    case SeatEvent::Kind::CardPlayed: return "CardPlayed";
    case SeatEvent::Kind::TrickComplete: return "TrickComplete";
    case SeatEvent::Kind::TrickTaken: return "TrickTaken";
    case SeatEvent::Kind::DealScored: return "DealScored";
    case SeatEvent::Kind::GameWon: return "GameWon";
    case SeatEvent::Kind::NewGame: return "NewGame";
    case SeatEvent::Kind::Asked: return "Asked";
    }
    return "?";
}

SeatEvent SeatEventOf(const GameEvent& event, const TableView& viewOfSeat)
{
    SeatEvent told;
    told.view = viewOfSeat;
    told.seat = event.seat;
    switch (event.kind) {
    case GameEvent::Kind::DealStarted:
        told.kind = SeatEvent::Kind::DealStarted;
        told.card = viewOfSeat.seat.CutCard;
        break;
    case GameEvent::Kind::BidMade:
        told.kind = SeatEvent::Kind::BidMade;
        // Another seat's bid reaches this seat only once its view shows it.
        if (event.seat >= 1 && event.seat <= 4)
            told.value = viewOfSeat.seat.Bids[static_cast<std::size_t>(event.seat)];
        break;
    case GameEvent::Kind::BidsPublic: told.kind = SeatEvent::Kind::BidsPublic; break;
    case GameEvent::Kind::Passed: told.kind = SeatEvent::Kind::Passed; break;
    case GameEvent::Kind::CardPlayed:
        // A card on the table is seen by everyone.
        told.kind = SeatEvent::Kind::CardPlayed;
        told.card = event.card;
        told.value = event.value;
        break;
    case GameEvent::Kind::TrickComplete: told.kind = SeatEvent::Kind::TrickComplete; break;
    case GameEvent::Kind::TrickTaken:
        told.kind = SeatEvent::Kind::TrickTaken;
        told.value = event.value;
        break;
    case GameEvent::Kind::DealScored: told.kind = SeatEvent::Kind::DealScored; break;
    case GameEvent::Kind::GameWon: told.kind = SeatEvent::Kind::GameWon; break;
    case GameEvent::Kind::NewGame: told.kind = SeatEvent::Kind::NewGame; break;
    }
    return told;
}

} // namespace halbeet

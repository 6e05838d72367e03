// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A table seen from another chair. A window always shows its own seat at the bottom as seat 1,
// its partner across as seat 3 and the opponents at its sides; a player who sits in seat 3 of
// a networked table is shown that table turned, every seat number moved on by the same amount.

#include "table/seat.h"
#include "table/table_view.h"

namespace halbeet {

// Where seat sits at the table of a player in chair `own`: 1 for his own, 3 for his partner.
// Seat 0 (nobody) stays 0.
constexpr int TurnedSeat(int seat, int own)
{
    return seat < 1 || seat > 4 || own < 1 || own > 4 ? seat : (seat - own + 4) % 4 + 1;
}
// The chair a turned seat number stands for: the inverse of TurnedSeat.
constexpr int UnturnedSeat(int turned, int own)
{
    return turned < 1 || turned > 4 || own < 1 || own > 4 ? turned : (turned + own - 2) % 4 + 1;
}

// The view of chair `own` with every seat turned so that `own` is seat 1. Nothing but the seat
// numbers changes: the cards, the bids and the scores stay with their players.
TableView TurnedView(const TableView& view, int own);
SeatEvent TurnedEvent(const SeatEvent& event, int own);

} // namespace halbeet

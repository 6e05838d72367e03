// SPDX-License-Identifier: GPL-3.0-or-later
// Turning a seat's view so that its seat sits at the bottom.
#include "table/turned_view.h"

namespace halbeet {

namespace {

template <typename T>
PerSeat<T> turned(const PerSeat<T>& values, int own)
{
    PerSeat<T> out = values;
    for (int seat = 1; seat <= 4; ++seat)
        out[static_cast<std::size_t>(TurnedSeat(seat, own))] = values[static_cast<std::size_t>(seat)];
    return out;
}

} // namespace

TableView TurnedView(const TableView& view, int own)
{
    if (own < 1 || own > 4 || own == 1)
        return view;
    TableView out = view;
    const auto turn = [own](int seat) { return TurnedSeat(seat, own); };

    SeatView& seat = out.seat;
    seat.Seat = turn(view.seat.Seat);
    seat.Dealer = turn(view.seat.Dealer);
    seat.TrickLeader = turn(view.seat.TrickLeader);
    seat.Bids = turned(view.seat.Bids, own);
    seat.Scores = turned(view.seat.Scores, own);
    seat.TricksWon = turned(view.seat.TricksWon, own);
    seat.Void = turned(view.seat.Void, own);
    for (int k = 0; k < view.seat.PlayCount; ++k) {
        TTrickCard& play = seat.Plays[static_cast<std::size_t>(k)];
        play.Seat = turn(play.Seat);
    }

    out.toAct = turn(view.toAct);
    // The counter names the dealer: 0 for seat 4, else the seat itself.
    out.dealerCounter = turn(DealerSeat(view.dealerCounter)) % 4;
    out.bidMade = turned(view.bidMade, own);
    out.handCounts = turned(view.handCounts, own);
    for (int& taker : out.takers)
        taker = turn(taker);
    for (PerSeat<std::int32_t>& row : out.scoreRows)
        row = turned(row, own);
    out.winner = turn(view.winner);
    return out;
}

SeatEvent TurnedEvent(const SeatEvent& event, int own)
{
    SeatEvent out = event;
    out.seat = TurnedSeat(event.seat, own);
    out.view = TurnedView(event.view, own);
    return out;
}

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What one seat may know at the table, and nothing more: the input of a player that plays fair.

#include <array>
#include <cstdint>
#include <span>

#include "core/state.h"

namespace halbeet {

// One seat's knowledge of the deal and the game.
//
// The type has room for exactly one hand, the seat's own. Other seats' cards appear only where
// the table shows them: the cards already played (in Plays, with who played them) and the cut
// card the dealer turned up. There is no field a hidden card could be copied into, so a player
// that decides from a SeatView cannot look at another hand, however it is written.
struct SeatView {
    int Seat = 0;
    std::int32_t Trump = 0;
    int Dealer = 0;
    // The dealer's turned card: it sits in the dealer's hand until Plays shows it played.
    TCardFace CutCard{};

    // The seat's own remaining cards, sorted by suit and then rank (ace high), so that the view
    // does not depend on the order in which the hand happens to hold them.
    std::array<TCardFace, 13> Hand{};
    int HandCount = 0;

    // Stored bids (2..6, 14..26) this seat has seen; 0 while a seat's bid is not public to it
    // (its own included, while it is still to bid).
    PerSeat<std::int32_t> Bids{};
    PerSeat<std::int32_t> Scores{};

    // Every card played in the deal, in play order, with the seat that played it.
    std::array<TTrickCard, 52> Plays{};
    int PlayCount = 0;

    // Worked out from Plays: tricks taken so far, the leader of the trick in progress, and the
    // suits each seat has shown it no longer holds (it did not follow when the suit was led).
    PerSeat<std::int32_t> TricksWon{};
    int TrickLeader = 0;
    PerSeat<std::array<bool, 5>> Void{};

    // Cards lying in the trick in progress (0..3): the last ones of Plays.
    int CardsInTrick() const { return PlayCount % 4; }
    std::span<const TTrickCard> CurrentTrick() const
    {
        return std::span<const TTrickCard>(Plays).subspan(
            static_cast<std::size_t>(PlayCount - CardsInTrick()),
            static_cast<std::size_t>(CardsInTrick()));
    }
    // The seat whose turn it is in play (the leader when the trick is empty).
    int SeatToPlay() const
    {
        int seat = TrickLeader;
        for (int k = 0; k < CardsInTrick(); ++k)
            seat = NextSeat(seat);
        return seat;
    }
    bool CutCardPlayed() const;

    friend bool operator==(const SeatView&, const SeatView&) = default;
};

// Builds the view of seat from the game state, the cards played so far in the deal (in play
// order) and which bids this seat has seen (bidPublic[seat] once it has bid itself). Only the
// seat's own hand is read from the hands in the state; everything else is public.
SeatView MakeSeatView(const TGameState& state, int seat, std::span<const TTrickCard> plays,
                      const PerSeat<bool>& bidPublic);

// Works out what view.Plays tells of the deal, as MakeSeatView does: the tricks each seat has
// taken, the leader of the trick in progress, the suits each seat has shown it lacks. A client
// that keeps a view from the cards it is told played works them out the same way.
void WorkOutFromPlays(SeatView& view, std::int32_t dealerCounter);

class GameModel;

// What seat may know now of game: its own hand, the bids it has seen, every card played and by
// whom. While bidding, a seat has seen its own bid once made and the bids already made by the
// seats before it in turn order (from the seat after the dealer); once the last bid is made,
// every bid (GameModel::bidSeenBy).
SeatView ViewOf(const GameModel& game, int seat);

// The bids a seat has seen when it is its turn to bid: those of the seats that bid before it,
// starting with the seat after the dealer; not its own yet. During play every bid is public.
PerSeat<bool> BidsSeenBefore(int seat, std::int32_t dealerCounter);
inline constexpr PerSeat<bool> kAllBidsPublic{false, true, true, true, true};

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
// Building a seat's view of the table from the game state and the public record of play.

#include "core/seat_view.h"

#include <algorithm>

#include "core/game.h"
#include "core/trick.h"

namespace halbeet {

bool SeatView::CutCardPlayed() const
{
    for (int i = 0; i < PlayCount; ++i) {
        if (Plays[static_cast<std::size_t>(i)].Suite == CutCard.Suite &&
            Plays[static_cast<std::size_t>(i)].Number == CutCard.Number)
            return true;
    }
    return false;
}

PerSeat<bool> BidsSeenBefore(int seat, std::int32_t dealerCounter)
{
    PerSeat<bool> seen{};
    for (int s = FirstSeat(dealerCounter); s != seat; s = NextSeat(s))
        seen[s] = true;
    return seen;
}

SeatView MakeSeatView(const TGameState& state, int seat, std::span<const TTrickCard> plays,
                      const PerSeat<bool>& bidPublic)
{
    SeatView v;
    v.Seat = seat;
    v.Trump = state.Trump;
    v.Dealer = DealerSeat(state.DealerCounter);
    v.CutCard = state.CutCard;

    for (int k = 1; k <= state.HandCount[seat] && v.HandCount < 13; ++k) {
        const TCardFace c = state.Hands[seat][k];
        if (c.Suite != 0)
            v.Hand[static_cast<std::size_t>(v.HandCount++)] = c;
    }
    std::sort(v.Hand.begin(), v.Hand.begin() + v.HandCount, [](TCardFace a, TCardFace b) {
        return a.Suite != b.Suite ? a.Suite < b.Suite : PlayRank(a.Number) < PlayRank(b.Number);
    });

    for (int s = 1; s <= 4; ++s) {
        v.Bids[s] = bidPublic[s] ? state.Bids[s] : 0;
        v.Scores[s] = state.Scores[s];
    }

    for (const TTrickCard& play : plays) {
        if (v.PlayCount >= 52)
            break;
        v.Plays[static_cast<std::size_t>(v.PlayCount++)] = play;
    }
    WorkOutFromPlays(v, state.DealerCounter);
    return v;
}

void WorkOutFromPlays(SeatView& v, std::int32_t dealerCounter)
{
    v.TricksWon = {};
    v.Void = {};
    v.TrickLeader = FirstSeat(dealerCounter);
    TTrick trick{};
    int pos = 0;
    for (int k = 0; k < v.PlayCount && k < 52; ++k) {
        const TTrickCard& play = v.Plays[static_cast<std::size_t>(k)];
        trick[static_cast<std::size_t>(++pos)] = play;
        if (pos > 1 && play.Suite != trick[1].Suite)
            v.Void[play.Seat][trick[1].Suite] = true;
        if (pos == 4) {
            const TTrickCard winner = TrickWinner(trick, v.Trump);
            ++v.TricksWon[winner.Seat];
            v.TrickLeader = winner.Seat;
            trick = {};
            pos = 0;
        }
    }
}

SeatView ViewOf(const GameModel& game, int seat)
{
    PerSeat<bool> seen{};
    for (int s = 1; s <= 4; ++s)
        seen[static_cast<std::size_t>(s)] = game.bidSeenBy(seat, s);
    return MakeSeatView(game.state(), seat, game.plays(), seen);
}

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scoring.h"

#include "core/bids.h"

namespace halbeet {

void ScoreDeal(PerSeat<std::int32_t>& scores, const PerSeat<std::int32_t>& bids,
               const PerSeat<std::int32_t>& tricksWon)
{
    for (int s = 1; s <= 4; ++s) {
        if (IsStoredBid(bids[s]))
            scores[s] += BidScore(bids[s], tricksWon[s]);
    }
}

std::int32_t FindGameWinner(const PerSeat<std::int32_t>& scores)
{
    // A player wins only while his partner is not in debt. The later candidate in this order
    // takes a tie for the highest score.
    constexpr int order[4] = {1, 3, 2, 4};
    std::int32_t winner = 0;
    for (const int seat : order) {
        if (scores[seat] >= 41 && scores[PartnerOf(seat)] >= 0 &&
            (winner == 0 || scores[seat] >= scores[winner]))
            winner = seat;
    }
    return winner;
}

} // namespace halbeet

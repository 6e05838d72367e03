// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scoring.h"

namespace halbeet {

void ScoreDeal(PerSeat<std::int32_t>& scores, const PerSeat<std::int32_t>& bids,
               const PerSeat<std::int32_t>& tricksWon)
{
    for (int s = 1; s <= 4; ++s) {
        const std::int32_t b = bids[s];
        std::int32_t needed = 0;
        if (b >= 2 && b <= 6)
            needed = b;
        else if (b >= 7 && b <= 26)
            needed = b / 2; // high bids are stored doubled
        else
            continue;
        scores[s] += tricksWon[s] >= needed ? b : -b;
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

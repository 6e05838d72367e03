// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/bidding.h"

#include <algorithm>
#include <cstdint>

#include "core/bids.h"
#include "core/suits.h"

namespace halbeet {

std::int32_t SuitBidPoints(const TCardList& list, std::int32_t trump, std::int32_t count)
{
    std::uint32_t held = 0; // bit n: the card with Number n is in the list
    for (std::int32_t k = 1; k <= count; ++k)
        held |= std::uint32_t{1} << (list[k].Number & 15);
    const auto has = [held](std::int32_t number) { return (held >> number & 1u) != 0; };
    const bool ace = has(Ace), king = has(King), queen = has(Queen), jack = has(Jack), ten = has(10);

    std::int32_t points = (ace ? 1 : 0) + (king && count >= 2 ? 1 : 0);
    if (count >= 1 && list[1].Suite == trump) {
        // Trump honours count only when guarded by enough length to survive the opponents'
        // higher trumps; five trumps earn a point of their own.
        points += (queen && count >= 3 ? 1 : 0) + (jack && count >= 4 ? 1 : 0) +
                  (ten && count >= 5 ? 1 : 0) + (count >= 5 ? 1 : 0);
    }
    return points;
}

void ComputerBid(THand hand, std::int32_t trump, std::int32_t& bid, std::int32_t score)
{
    TSuitSplit split;
    SplitBySuit(hand, split);

    std::int32_t points = 0;
    for (std::int32_t s = 1; s <= 4; ++s) {
        if (split.Counts[s] > 0)
            points += SuitBidPoints(split.Lists[s], trump, split.Counts[s]);
    }

    // Never below what the score allows; the minimums (2 to 4) are all below the doubled bids.
    bid = StoredBid(std::max(points, LowestBid(score)));
}

} // namespace halbeet

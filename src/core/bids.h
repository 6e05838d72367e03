// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Bids as the game stores them, and what a bid asks for and is worth. Only plain values, so
// that the statistics database checks its records by the same rules as the game.

#include <array>
#include <cstdint>

namespace halbeet {

// Every bid there is, lowest first: 2..6 tricks as they are, 7..13 tricks doubled (14..26).
constexpr std::array<std::int32_t, 12> kStoredBids{2, 3, 4, 5, 6, 14, 16, 18, 20, 22, 24, 26};

constexpr bool IsStoredBid(std::int32_t bid)
{
    for (const std::int32_t b : kStoredBids) {
        if (b == bid)
            return true;
    }
    return false;
}

constexpr bool IsHighBid(std::int32_t storedBid) { return storedBid >= 14; }

// The stored bid for a number of tricks (2..13), and the tricks a stored bid asks for.
constexpr std::int32_t StoredBid(std::int32_t tricks) { return tricks >= 7 ? tricks * 2 : tricks; }
constexpr std::int32_t TricksOfBid(std::int32_t storedBid)
{
    return IsHighBid(storedBid) ? storedBid / 2 : storedBid;
}

// Whether a bidder took at least the tricks he bid; tricks above the bid earn nothing.
constexpr bool BidMade(std::int32_t storedBid, std::int32_t tricks)
{
    return tricks >= TricksOfBid(storedBid);
}

// What a deal does to a bidder's score: the whole bid, gained when made and lost otherwise.
constexpr std::int32_t BidScore(std::int32_t storedBid, std::int32_t tricks)
{
    return BidMade(storedBid, tricks) ? storedBid : -storedBid;
}

// The lowest bid a player's score allows: 2, from 30 points 3, from 40 points 4.
constexpr std::int32_t LowestBid(std::int32_t score)
{
    return score >= 40 ? 4 : score >= 30 ? 3 : 2;
}

} // namespace halbeet

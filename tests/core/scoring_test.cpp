// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/bids.h"
#include "core/scoring.h"

namespace halbeet {
namespace {

TEST(ScoreDeal, TheBidIsTheWholeGainOrLoss)
{
    struct Case {
        std::int32_t bid, tricks, change;
    };
    const Case cases[] = {
        {4, 4, 4},    {4, 3, -4},   {4, 13, 4},   {2, 0, -2},   {6, 6, 6},     {14, 7, 14},
        {14, 6, -14}, {26, 12, -26}, {26, 13, 26}, {16, 13, 16}, {0, 5, 0},    {1, 5, 0},
        // Not bids: 7 to 13 tricks are only ever stored doubled, and a doubled bid is even.
        {7, 13, 0},   {13, 13, 0},  {15, 13, 0},   {27, 13, 0},
    };
    for (const Case& c : cases) {
        PerSeat<std::int32_t> scores{0, 10, -3, 0, 40};
        const PerSeat<std::int32_t> before = scores;
        // The case goes to seat 3; the others bid 2 and take 2, so each gains 2.
        const PerSeat<std::int32_t> bids{0, 2, 2, c.bid, 2};
        const PerSeat<std::int32_t> tricks{0, 2, 2, c.tricks, 2};
        ScoreDeal(scores, bids, tricks);
        EXPECT_EQ(scores[3], before[3] + c.change) << "bid " << c.bid << ", " << c.tricks << " tricks";
        for (const int s : {1, 2, 4})
            EXPECT_EQ(scores[s], before[s] + 2);
    }
}

TEST(Bids, TwoToSixAsTheyAreSevenToThirteenDoubled)
{
    struct Case {
        std::int32_t bid;
        std::int32_t tricks; // 0: not a bid
    };
    const Case cases[] = {
        {2, 2},  {3, 3},  {6, 6},   {14, 7},  {16, 8}, {24, 12}, {26, 13}, {-2, 0},
        {0, 0},  {1, 0},  {7, 0},   {8, 0},   {12, 0}, {13, 0},  {15, 0},  {25, 0},
        {27, 0}, {28, 0}, {100, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsStoredBid(c.bid), c.tricks != 0) << "bid " << c.bid;
        if (c.tricks != 0) {
            EXPECT_EQ(TricksOfBid(c.bid), c.tricks) << "bid " << c.bid;
            EXPECT_EQ(IsHighBid(c.bid), c.tricks >= 7) << "bid " << c.bid;
        }
    }
    // The list a bidder chooses from: every number of tricks from 2 to 13 once, lowest first.
    std::int32_t tricks = 1;
    for (const std::int32_t bid : kStoredBids) {
        EXPECT_EQ(TricksOfBid(bid), ++tricks) << "bid " << bid;
        EXPECT_EQ(StoredBid(tricks), bid) << tricks << " tricks";
    }
    EXPECT_EQ(tricks, 13);
}

TEST(FindGameWinner, FortyOneWithAPartnerNotInDebt)
{
    struct Case {
        const char* what;
        PerSeat<std::int32_t> scores;
        std::int32_t winner;
    };
    const Case cases[] = {
        {"partner below zero", {0, 41, 0, -2, 0}, 0},
        {"partner at zero", {0, 41, 0, 0, 0}, 1},
        {"higher of two partners", {0, 45, 0, 43, 0}, 1},
        {"tie goes to the later in the order", {0, 45, 45, 0, 0}, 2},
        {"seat 3 ties seat 1: seat 3", {0, 44, 0, 44, 0}, 3},
        {"seat 4 ties seat 2: seat 4", {0, 0, 50, 0, 50}, 4},
        {"highest score wins", {0, 1, 3, 50, 52}, 4},
        {"forty never wins", {0, 40, 40, 40, 40}, 0},
        {"nobody near", {0, -30, 12, 7, 39}, 0},
        {"opponent's debt does not matter", {0, 41, -50, 1, -20}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindGameWinner(c.scores), c.winner) << c.what;
}

} // namespace
} // namespace halbeet

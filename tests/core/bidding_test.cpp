// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/bidding.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

using namespace test;

TEST(SuitBidPoints, HonoursCountOnlyWithLength)
{
    struct Case {
        const char* what;
        std::vector<TCardFace> cards;
        std::int32_t trump;
        std::int32_t points;
    };
    const Case cases[] = {
        {"bare king", {H(13)}, Spades, 0},
        {"guarded king", {H(13), H(4)}, Spades, 1},
        {"side ace and king", {H(1), H(13)}, Spades, 2},
        {"five side honours give two", {H(1), H(13), H(12), H(11), H(10)}, Spades, 2},
        {"five trump honours and length", {S(1), S(13), S(12), S(11), S(10)}, Spades, 6},
        {"five small trumps: length", {S(2), S(3), S(4), S(5), S(6)}, Spades, 1},
        {"trump queen with two", {S(12), S(4)}, Spades, 0},
        {"trump queen with three", {S(12), S(4), S(5)}, Spades, 1},
        {"trump jack with three", {S(11), S(4), S(5)}, Spades, 0},
        {"trump jack with four", {S(11), S(4), S(5), S(6)}, Spades, 1},
        {"trump ten with four", {S(10), S(4), S(5), S(6)}, Spades, 0},
        {"bare trump king", {S(13)}, Spades, 0},
        {"side queen counts nothing", {D(12), D(3), D(4)}, Spades, 0},
        {"side length counts nothing", {D(2), D(3), D(4), D(5), D(6), D(7)}, Spades, 0},
    };
    for (const Case& c : cases) {
        TCardList list{};
        for (std::size_t i = 0; i < c.cards.size(); ++i)
            list[i + 1] = c.cards[i];
        EXPECT_EQ(SuitBidPoints(list, c.trump, static_cast<std::int32_t>(c.cards.size())), c.points)
            << c.what;
    }
}

// Hands with a known point total, filled up to 13 cards with small side cards that add
// nothing.
THand HandWithPoints(std::int32_t points)
{
    std::vector<TCardFace> cards;
    // Trump is spades. Each side suit gives up to 2 (ace, guarded king), trumps up to 6.
    const std::vector<std::vector<TCardFace>> pieces = {
        {S(1), S(13), S(12), S(11), S(10)}, // 6
        {H(1), H(13)},                      // 2
        {D(1), D(13)},                      // 2
        {C(1), C(13)},                      // 2
    };
    int remaining = points;
    for (const auto& piece : pieces) {
        const int worth = piece.size() == 5 ? 6 : 2;
        if (remaining >= worth) {
            cards.insert(cards.end(), piece.begin(), piece.end());
            remaining -= worth;
        }
    }
    // One more point from a lone side ace where needed.
    const TCardFace aces[] = {H(1), D(1), C(1)};
    for (const TCardFace& ace : aces) {
        if (remaining > 0 && std::find(cards.begin(), cards.end(), ace) == cards.end()) {
            cards.push_back(ace);
            --remaining;
        }
    }
    const TCardFace fillers[] = {H(2), H(3), H(4), D(2), D(3), D(4), C(2), C(3), C(4), H(5), D(5), C(5), H(6)};
    for (const TCardFace& f : fillers) {
        if (cards.size() < 13)
            cards.push_back(f);
    }
    THand hand{};
    for (std::size_t i = 0; i < cards.size(); ++i)
        hand[i + 1] = cards[i];
    return hand;
}

TEST(ComputerBid, PointsDoublingAndScoreMinimums)
{
    struct Case {
        std::int32_t points;
        std::int32_t score;
        std::int32_t bid;
    };
    const Case cases[] = {
        {0, 0, 2},   {0, -15, 2}, {0, 29, 2},  {0, 30, 3},  {0, 39, 3},  {0, 40, 4},  {0, 55, 4},
        {1, 35, 3},  {1, 10, 2},  {3, 0, 3},   {3, 40, 4},  {5, 45, 5},  {6, 0, 6},   {7, 0, 14},
        {8, 40, 16}, {12, 0, 24}, {2, 30, 3},  {4, 40, 4},
    };
    for (const Case& c : cases) {
        const THand hand = HandWithPoints(c.points);
        TSuitSplit check;
        SplitBySuit(hand, check);
        std::int32_t counted = 0;
        for (int s = 1; s <= 4; ++s)
            if (check.Counts[s] > 0)
                counted += SuitBidPoints(check.Lists[s], Spades, check.Counts[s]);
        ASSERT_EQ(counted, c.points) << "fixture for " << c.points << " points";

        std::int32_t bid = -1;
        ComputerBid(hand, Spades, bid, c.score);
        EXPECT_EQ(bid, c.bid) << c.points << " points, score " << c.score;
    }
}

TEST(ComputerBid, DoesNotDependOnTheOrderOfTheCards)
{
    THand hand = HandWithPoints(8);
    std::int32_t first = 0;
    ComputerBid(hand, Spades, first, 0);
    std::reverse(hand.begin() + 1, hand.end());
    std::int32_t reversed = 0;
    ComputerBid(hand, Spades, reversed, 0);
    EXPECT_EQ(first, 16);
    EXPECT_EQ(reversed, first);
}

TEST(ComputerBid, TheTrumpSuitDecidesWhichHonoursCount)
{
    const THand hand = HandWithPoints(6); // five spade honours, nothing else
    std::int32_t asTrump = 0, asSide = 0;
    ComputerBid(hand, Spades, asTrump, 0);
    ComputerBid(hand, Hearts, asSide, 0);
    EXPECT_EQ(asTrump, 6);
    EXPECT_EQ(asSide, 2);
}

} // namespace
} // namespace halbeet

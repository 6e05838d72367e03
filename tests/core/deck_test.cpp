// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "core/cards.h"
#include "core/deck.h"
#include "core/random.h"

namespace halbeet {
namespace {

TRandom FixedRandom(std::uint32_t first)
{
    return TRandom([next = first]() mutable { return next++; });
}

TEST(Random, FirstDrawsBelow52FromStateZero)
{
    TRandom random = FixedRandom(0);
    random.Reseed();
    ASSERT_EQ(random.state(), 0u);
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 5; ++i)
        draws.push_back(random.Below(52));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 1, 44, 10, 14}));
}

TEST(Random, StepWrapsModulo2To32AndStaysBelowN)
{
    TRandom random = FixedRandom(0);
    random.setState(0xFFFFFFFFu);
    const std::uint32_t value = random.Below(52);
    // 0xFFFFFFFF * 134775813 + 1 mod 2^32 = 2^32 - 134775812
    EXPECT_EQ(random.state(), 4160191484u);
    EXPECT_EQ(value, static_cast<std::uint32_t>((std::uint64_t{4160191484u} * 52) >> 32));
    for (int i = 0; i < 1000; ++i)
        EXPECT_LT(random.Below(52), 52u);
}

TEST(Random, ReseedTakesTheNextReadingOfTheSource)
{
    TRandom random = FixedRandom(41);
    random.Reseed();
    EXPECT_EQ(random.state(), 41u);
    random.Below(10);
    random.Reseed();
    EXPECT_EQ(random.state(), 42u);
}

TEST(InitDeck, InitialOrder)
{
    TDeck deck;
    InitDeck(deck);
    const std::pair<int, TCardFace> expected[] = {
        {1, {1, 1}},  {2, {2, 2}},   {3, {3, 3}},   {4, {4, 4}},  {5, {1, 5}},   {12, {4, 12}},
        {13, {1, 13}}, {14, {2, 1}}, {15, {3, 2}}, {27, {3, 1}}, {40, {4, 1}}, {51, {3, 12}},
        {52, {4, 13}},
    };
    for (const auto& [pos, card] : expected)
        EXPECT_EQ(deck[pos], card) << "position " << pos;

    std::set<std::pair<int, int>> distinct;
    for (int p = 1; p <= 52; ++p)
        distinct.insert({deck[p].Suite, deck[p].Number});
    EXPECT_EQ(distinct.size(), 52u);
}

// A deck of distinct markers so that a pass's rearrangement can be read off directly.
TDeck Numbered()
{
    TDeck deck{};
    for (int p = 1; p <= 52; ++p)
        deck[p] = TCardFace{1, p};
    return deck;
}

TEST(ShufflePass, OffsetFiftyTwoSwapsOnlyTheTopTwo)
{
    TDeck deck = Numbered();
    ShufflePass(deck, 52);
    for (int p = 1; p <= 52; ++p)
        EXPECT_EQ(deck[p].Number, p == 1 ? 2 : p == 2 ? 1 : p) << "position " << p;
}

TEST(ShufflePass, OffsetOneCarriesTheTopCardRound)
{
    TDeck deck = Numbered();
    ShufflePass(deck, 1);
    // c2, c1, c4, c5, ..., c52, c3
    std::vector<int> expected{2, 1};
    for (int c = 4; c <= 52; ++c)
        expected.push_back(c);
    expected.push_back(3);
    for (int p = 1; p <= 52; ++p)
        EXPECT_EQ(deck[p].Number, expected[p - 1]) << "position " << p;
}

TEST(ShufflePass, EveryOffsetIsAPermutationThatMovesSomething)
{
    for (int r = 1; r <= 52; ++r) {
        TDeck deck = Numbered();
        ShufflePass(deck, r);
        std::set<int> seen;
        bool moved = false;
        for (int p = 1; p <= 52; ++p) {
            seen.insert(deck[p].Number);
            moved = moved || deck[p].Number != p;
        }
        EXPECT_EQ(seen.size(), 52u) << "r = " << r;
        EXPECT_TRUE(moved) << "r = " << r;
    }
}

TEST(ShufflePass, WrappedPartnerIsNeverPositionOne)
{
    // r = 51: at i = 2 the partner wraps to 1 and must become 2 (no exchange). Recompute the
    // pass with the rule written out and with the partner allowed to be 1, and tell them apart.
    TDeck deck = Numbered();
    ShufflePass(deck, 51);
    TDeck naive = Numbered();
    for (int i = 1; i <= 52; ++i) {
        int j = i + 51;
        if (j > 52)
            j -= 52;
        std::swap(naive[i], naive[j]);
    }
    EXPECT_NE(deck, naive);
    TDeck rule = Numbered();
    for (int i = 1; i <= 52; ++i) {
        int j = i + 51;
        if (j > 52)
            j = j - 52 == 1 ? 2 : j - 52;
        std::swap(rule[i], rule[j]);
    }
    EXPECT_EQ(deck, rule);
}

struct DealResult {
    TDeck deck;
    std::int32_t trump = 0;
    THand hands[5]{};
    std::int32_t dealer = 0;
    TCardFace cut{};
};

DealResult DealOnce(std::int32_t dealerCounter, std::uint32_t seed)
{
    DealResult d;
    InitDeck(d.deck);
    d.dealer = dealerCounter;
    TRandom random = FixedRandom(seed);
    ShuffleAndDeal(d.deck, d.trump, d.hands[1], d.hands[2], d.hands[3], d.hands[4], d.dealer, d.cut,
                   random);
    return d;
}

TEST(ShuffleAndDeal, ReseedsThenThreePassesThenBlocks)
{
    const DealResult d = DealOnce(0, 0);
    // From state 0 the three offsets are 1, 2 and 45.
    TDeck expected;
    InitDeck(expected);
    ShufflePass(expected, 1);
    ShufflePass(expected, 2);
    ShufflePass(expected, 45);
    EXPECT_EQ(d.deck, expected);
    for (int s = 1; s <= 4; ++s)
        for (int k = 1; k <= 13; ++k)
            EXPECT_EQ(d.hands[s][k], expected[13 * (s - 1) + k]) << "seat " << s << " slot " << k;
}

TEST(ShuffleAndDeal, CutCardTrumpAndDealerCounter)
{
    for (std::int32_t v = 0; v <= 3; ++v) {
        const DealResult d = DealOnce(v, 7);
        EXPECT_EQ(d.cut, d.hands[v + 1][1]) << "v = " << v;
        EXPECT_EQ(d.trump, SameColourSuit(d.cut.Suite));
        EXPECT_NE(d.trump, d.cut.Suite);
        EXPECT_EQ(d.dealer, (v + 1) % 4);
    }
}

TEST(ShuffleAndDeal, TrumpIsTheOtherSuitOfTheCutCardsColour)
{
    const std::pair<int, int> pairs[] = {{Clubs, Spades}, {Spades, Clubs}, {Hearts, Diamonds}, {Diamonds, Hearts}};
    for (const auto& [cut, trump] : pairs)
        EXPECT_EQ(SameColourSuit(cut), trump);
}

TEST(ShuffleAndDeal, FiveRunsMoveTheDealerOneSeatAndKeepTheCards)
{
    TDeck deck;
    InitDeck(deck);
    std::int32_t trump = 0, dealer = 0;
    THand h[5]{};
    TCardFace cut;
    TRandom random = FixedRandom(1000);
    for (int deal = 1; deal <= 8; ++deal) {
        const std::int32_t before = dealer;
        for (int run = 1; run <= 5; ++run) {
            if (run == 5)
                random.Reseed();
            ShuffleAndDeal(deck, trump, h[1], h[2], h[3], h[4], dealer, cut, random);
        }
        EXPECT_EQ(dealer, (before + 1) % 4);
        EXPECT_EQ(cut, h[before + 1][1]) << "the dealer's own first card is turned up";
        std::set<std::pair<int, int>> cards;
        for (int s = 1; s <= 4; ++s)
            for (int k = 1; k <= 13; ++k)
                cards.insert({h[s][k].Suite, h[s][k].Number});
        EXPECT_EQ(cards.size(), 52u);
    }
}

} // namespace
} // namespace halbeet

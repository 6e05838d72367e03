// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "core/suits.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

using namespace test;

THand HandOf(std::initializer_list<TCardFace> cards)
{
    THand hand{};
    int k = 0;
    for (const TCardFace& c : cards)
        hand[++k] = c;
    return hand;
}

std::vector<TCardFace> Slots(const THand& hand)
{
    return {hand.begin() + 1, hand.end()};
}

std::vector<TCardFace> ListOf(const TSuitSplit& split, int suit)
{
    return {split.Lists[suit].begin() + 1, split.Lists[suit].begin() + 1 + split.Counts[suit]};
}

TEST(SplitBySuit, KeepsSlotOrderWithinEachSuit)
{
    TSuitSplit split;
    SplitBySuit(HandOf({H(13), C(5), D(12), S(10), C(1), H(2), D(11), S(3), C(9)}), split);
    EXPECT_EQ(ListOf(split, Clubs), (std::vector<TCardFace>{C(5), C(1), C(9)}));
    EXPECT_EQ(ListOf(split, Spades), (std::vector<TCardFace>{S(10), S(3)}));
    EXPECT_EQ(ListOf(split, Hearts), (std::vector<TCardFace>{H(13), H(2)}));
    EXPECT_EQ(ListOf(split, Diamonds), (std::vector<TCardFace>{D(12), D(11)}));
}

TEST(SplitBySuit, SkipsEmptySlotsAndLeavesOldEntriesBehindTheCounts)
{
    TSuitSplit split;
    SplitBySuit(HandOf({C(2), C(3), C(4), H(5)}), split);
    // A shorter hand later, with a gap: only filled slots count.
    THand shorter{};
    shorter[2] = C(9);
    shorter[7] = D(1);
    SplitBySuit(shorter, split);
    EXPECT_EQ(split.Counts, (std::array<std::int32_t, 5>{0, 1, 0, 0, 1}));
    EXPECT_EQ(split.Lists[Clubs][1], C(9));
    EXPECT_EQ(split.Lists[Clubs][2], C(3)) << "positions after the count keep what they held";
    EXPECT_EQ(split.Lists[Hearts][1], H(5));
}

TEST(SortByRank, AscendingWithTheAceLast)
{
    struct Case {
        std::vector<int> numbers;
        std::vector<int> sorted;
    };
    const Case cases[] = {
        {{12, 1, 5, 9}, {5, 9, 12, 1}},
        {{1}, {1}},
        {{13, 1}, {13, 1}},
        {{7, 3, 11, 2}, {2, 3, 7, 11}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        TCardList list{};
        for (std::size_t i = 0; i < c.numbers.size(); ++i)
            list[i + 1] = S(c.numbers[i]);
        SortByRank(list, static_cast<std::int32_t>(c.numbers.size()), 1);
        std::vector<int> got;
        for (std::size_t i = 0; i < c.numbers.size(); ++i) {
            EXPECT_EQ(list[i + 1].Suite, Spades);
            got.push_back(list[i + 1].Number);
        }
        EXPECT_EQ(got, c.sorted);
    }
}

TEST(SortHumanHand, ClubsHeartsSpadesDiamondsEachFromTheTwoToTheAce)
{
    THand hand = HandOf({H(13), C(5), D(12), S(10), C(1), H(2), D(11), S(3), C(9), D(1), H(7), S(13),
                         C(12)});
    SortHumanHand(hand);
    EXPECT_EQ(Slots(hand), (std::vector<TCardFace>{C(5), C(9), C(12), C(1), H(2), H(7), H(13), S(3),
                                                   S(10), S(13), D(11), D(12), D(1)}));
}

TEST(SortHumanHand, NoGapForAMissingSuitAndEmptySlotsLast)
{
    THand hand = HandOf({S(4), C(1), D(2), S(1)});
    SortHumanHand(hand);
    EXPECT_EQ(Slots(hand), (std::vector<TCardFace>{C(1), S(4), S(1), D(2), NoCard, NoCard, NoCard, NoCard,
                                                   NoCard, NoCard, NoCard, NoCard, NoCard}));
}

TEST(RemoveCard, LastCardFillsTheGap)
{
    TCardList list = HandOf({H(2), H(5), H(9), H(11), H(1)});
    std::int32_t count = 5;
    RemoveCard(H(2), list, count);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(list[1], H(1));
    EXPECT_EQ(list[5], NoCard);

    RemoveCard(H(11), list, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(list[4], NoCard);
    EXPECT_EQ(list[3], H(9));

    RemoveCard(S(5), list, count); // not there: nothing changes
    EXPECT_EQ(count, 3);
    EXPECT_EQ(list[1], H(1));
    EXPECT_EQ(list[2], H(5));
}

TEST(SplitBookkeeping, RemoveAndAddTheCardsList)
{
    TSuitSplit split{};
    SplitBySuit(HandOf({H(2), S(5), H(9)}), split);
    RemoveFromSplit(H(2), split);
    EXPECT_EQ(split.Counts[Hearts], 1);
    EXPECT_EQ(split.Lists[Hearts][1], H(9));
    EXPECT_EQ(split.Counts[Spades], 1);
    AddToSplit(H(7), split);
    EXPECT_EQ(split.Counts[Hearts], 2);
    EXPECT_EQ(split.Lists[Hearts][2], H(7));
}

} // namespace
} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <vector>

#include "core/analysis.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

using namespace test;

TCardList ListOf(const std::vector<TCardFace>& cards)
{
    TCardList list{};
    for (std::size_t i = 0; i < cards.size(); ++i)
        list[i + 1] = cards[i];
    return list;
}

std::int32_t CountOf(const std::vector<TCardFace>& cards) { return static_cast<std::int32_t>(cards.size()); }

TSuitSplit SplitOf(std::initializer_list<TCardFace> cards)
{
    TSuitSplit split{};
    for (const TCardFace& c : cards)
        AddToSplit(c, split);
    return split;
}

struct ListCase {
    std::vector<TCardFace> list;
    TCardFace expected;
};

TEST(HighestInList, FirstAceElseHighestNumberLaterSlotOnATie)
{
    const ListCase cases[] = {
        {{S(7), C(1), H(1)}, C(1)},
        {{C(13), H(13)}, H(13)},
        {{H(13), C(13)}, C(13)},
        {{D(2), D(12), D(9)}, D(12)},
        {{}, NoCard},
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(HighestInList(ListOf(c.list), CountOf(c.list)), c.expected);
}

TEST(LowestInList, AceCountsAboveTheKing)
{
    const ListCase cases[] = {
        {{H(1), H(5), H(2)}, H(2)},
        {{H(1)}, H(1)},
        {{H(13), H(1)}, H(13)},
        {{H(4), C(4)}, H(4)}, // the earliest of equal ranks stays
        {{}, NoCard},
    };
    for (const ListCase& c : cases)
        EXPECT_EQ(LowestInList(ListOf(c.list), CountOf(c.list)), c.expected);
}

TEST(SuitQueries, OfSuitPicksTheSuitsListAndHasAceLooksThere)
{
    const TSuitSplit split = SplitOf({H(4), S(1), H(13), H(9), D(2)});
    EXPECT_EQ(HighestOfSuit(Hearts, split), H(13));
    EXPECT_EQ(LowestOfSuit(Hearts, split), H(4));
    EXPECT_EQ(HighestOfSuit(Clubs, split), NoCard);
    EXPECT_EQ(LowestOfSuit(Clubs, split), NoCard);
    EXPECT_TRUE(HasAce(Spades, split));
    EXPECT_FALSE(HasAce(Hearts, split));
    EXPECT_EQ(SuitCount(Hearts, split.Counts), 3);
    EXPECT_EQ(SuitCount(Clubs, split.Counts), 0);
}

TEST(IsMasterInList, EveryHigherCardMustBeInTheList)
{
    std::vector<TCardFace> allAboveTwo;
    for (int n = 3; n <= 13; ++n)
        allAboveTwo.push_back(C(n));
    allAboveTwo.push_back(C(1));

    struct Case {
        TCardFace card;
        std::vector<TCardFace> list;
        bool master;
    };
    const Case cases[] = {
        {C(13), {C(1)}, true},
        {C(12), {C(13)}, false},
        {C(12), {C(13), C(1)}, true},
        {C(2), allAboveTwo, true},
        {C(1), {}, true},
        {C(11), {C(13), C(12), C(4)}, false},
        {C(0), {C(1)}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsMasterInList(c.card, ListOf(c.list), CountOf(c.list)), c.master) << c.card;

    // IsMaster reads the list of the card's own suit.
    const TSuitSplit played = SplitOf({H(1), S(13)});
    EXPECT_TRUE(IsMaster(H(13), played));
    EXPECT_FALSE(IsMaster(S(12), played));
}

TEST(CheapestWinnerInList, LowestCardAboveTheReference)
{
    struct Case {
        TCardFace reference;
        std::vector<TCardFace> list;
        TCardFace expected;
    };
    const Case cases[] = {
        {H(9), {H(3), H(12), H(10), H(1)}, H(10)},
        {H(9), {H(3), H(8)}, NoCard},
        {H(12), {H(3), H(1)}, H(1)},
        {H(13), {H(1), H(2)}, H(1)},
        {H(1), {H(13), H(2)}, NoCard}, // nothing beats an ace
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheapestWinnerInList(c.reference, ListOf(c.list), CountOf(c.list)), c.expected)
            << "reference " << c.reference;

    const TSuitSplit mine = SplitOf({S(4), S(10), H(12), S(8)});
    EXPECT_EQ(CheapestWinner(TTrickCard{Spades, 9, 3}, mine), S(10));
}

TEST(ChooseLeadSuit, OnePassThenSuitsNobodyElseHoldsGoBack)
{
    struct Case {
        const char* what;
        std::int32_t trump;
        std::array<std::int32_t, 5> mine;
        std::array<std::int32_t, 5> played;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"one pass finds the shortest here", Clubs, {0, 4, 3, 1, 2}, {}, Hearts},
        {"one pass is not a sort", Clubs, {0, 4, 2, 3, 1}, {}, Spades},
        {"only trumps left", Clubs, {0, 5, 0, 0, 0}, {}, Clubs},
        {"a single side suit", Hearts, {0, 0, 0, 6, 2}, {}, Diamonds},
        {"trump is never listed", Spades, {0, 1, 0, 2, 3}, {}, Clubs},
        // Hearts is shortest but all of it is accounted for: it moves back behind diamonds.
        {"exhausted suit moves back", Clubs, {0, 0, 4, 1, 2}, {0, 0, 0, 12, 0}, Diamonds},
        // Spades and hearts both exhausted: hearts is carried to the end, and spades, moved to
        // the front, is not looked at again.
        {"moved suit is looked at again", Clubs, {0, 0, 3, 1, 5}, {0, 0, 10, 12, 0}, Spades},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLeadSuit(c.trump, c.mine, c.played), c.expected) << c.what;
}

TEST(PartnerLeadSuits, RuffSuitThenKingSuitsInTheirOrder)
{
    struct Case {
        const char* what;
        std::int32_t trump;
        TSuitSplit partner;
        TSuitSplit played;
        std::array<std::int32_t, 5> mine;
        std::array<std::int32_t, 5> next;
        std::array<std::int32_t, 5> expected;
    };
    const std::array<std::int32_t, 5> everything{0, 3, 3, 3, 3};
    const Case cases[] = {
        {"nothing to offer", Clubs, SplitOf({C(4), S(2), H(3), D(5)}), SplitOf({}), everything, everything,
         {}},
        {"void with a trump", Clubs, SplitOf({C(4), S(2), D(5)}), SplitOf({}), everything, everything,
         {0, Hearts, 0, 0, 0}},
        {"void in two: the later suit", Clubs, SplitOf({C(4), S(2)}), SplitOf({}), everything, everything,
         {0, Diamonds, 0, 0, 0}},
        {"void but no trump", Clubs, SplitOf({S(2), D(5)}), SplitOf({}), everything, everything, {}},
        {"void suit all with me and gone", Clubs, SplitOf({C(4), S(2), D(5)}),
         SplitOf({H(2), H(3), H(4), H(5), H(6), H(7), H(8), H(9), H(10), H(11)}), {0, 1, 1, 3, 1},
         everything, {}},
        {"king whose ace has gone", Clubs, SplitOf({C(4), S(13), S(2), H(3), D(5)}), SplitOf({S(1)}),
         everything, everything, {0, Spades, 0, 0, 0}},
        {"king but the ace is out", Clubs, SplitOf({C(4), S(13), S(2), H(3), D(5)}), SplitOf({}),
         everything, everything, {}},
        {"king but the next seat is void", Clubs, SplitOf({C(4), S(13), S(2), H(3), D(5)}),
         SplitOf({S(1)}), everything, {0, 3, 0, 3, 3}, {}},
        {"kings in the order 1, 2, 4, 3", Spades, SplitOf({S(4), C(13), H(13), D(13)}),
         SplitOf({C(1), H(1), D(1)}), everything, everything, {0, Clubs, Diamonds, Hearts, 0}},
        {"ruff suit first, then a king", Clubs, SplitOf({C(4), S(13), D(5)}), SplitOf({S(1)}), everything,
         everything, {0, Hearts, Spades, 0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PartnerLeadSuits(c.trump, c.partner, c.played, c.mine, c.next), c.expected) << c.what;
}

} // namespace
} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/computer_play.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

using namespace test;

// Partners and next seats hold a little of every suit and no king unless a case says so, so
// that the partner-lead suits stay empty.
Table Quiet(std::int32_t trump)
{
    Table t(trump);
    for (int s = 1; s <= 4; ++s)
        t.hand(s, {C(2 + s), S(2 + s), H(2 + s), D(2 + s)});
    return t;
}

TEST(SeatProfiles, SeatDependentPoints)
{
    struct Case {
        int seat, partner, next;
        std::array<int, 4> low;
        bool king;
    };
    const Case cases[] = {
        {1, 3, 2, {4, 3, 2, 1}, false},
        {2, 4, 3, {1, 2, 3, 4}, true},
        {3, 1, 4, {4, 3, 2, 1}, false},
        {4, 2, 1, {4, 3, 2, 1}, false},
    };
    for (const Case& c : cases) {
        const SeatProfile& p = ProfileOf(c.seat);
        EXPECT_EQ(p.seat, c.seat);
        EXPECT_EQ(p.partner, c.partner);
        EXPECT_EQ(p.next, c.next);
        EXPECT_EQ(p.lowLeadOrder, c.low);
        EXPECT_EQ(p.highLeadOrder, (std::array<int, 4>{1, 2, 3, 4}));
        EXPECT_EQ(p.kingWhenFourthToLow, c.king);
    }
}

TEST(HighBidLead, DrawsTrumpsWhileAnyAreOut)
{
    Table t = Quiet(Spades);
    t.hand(2, {H(13), S(5), S(1), D(4)}).bid(2, 14);
    EXPECT_EQ(t.choose(2), S(1));
}

TEST(HighBidLead, AllTrumpsLeftAreMineSoItLeadsItsBestCard)
{
    Table t = Quiet(Spades);
    // The other eleven spades are gone; the first ace in slot order is the heart.
    t.hand(1, {C(3), H(3), D(3)}).hand(3, {C(5), H(5), D(5)}).hand(4, {C(6), H(6), D(6)});
    t.hand(2, {S(2), H(1), S(3), D(4)}).bid(2, 16);
    t.gone({S(1), S(4), S(5), S(6), S(7), S(8), S(9), S(10), S(11), S(12), S(13)});
    EXPECT_EQ(t.choose(2), H(1));
}

TEST(HighBidLead, NoTrumpAndAKingWhoseAceIsOut)
{
    Table t = Quiet(Spades);
    t.hand(3, {H(13), H(4), H(9), D(12), C(5)}).bid(3, 18);
    EXPECT_EQ(t.choose(3), H(4));
    t.gone({H(1)});
    EXPECT_EQ(t.choose(3), H(13));
}

TEST(LowBidLead, SideSuitsInOrderOneToFour)
{
    Table t = Quiet(Spades);
    // Ace of hearts, and the club king with its queen while the club ace is out: clubs come
    // first, and the queen goes to drive out the ace.
    t.hand(2, {H(1), C(13), H(5), C(12), C(4), D(6)});
    EXPECT_EQ(t.choose(2), C(12));
    t.hand(2, {H(1), C(13), H(5), C(4), D(6)});
    EXPECT_EQ(t.choose(2), C(4));
    t.gone({C(1)});
    EXPECT_EQ(t.choose(2), C(13));
}

TEST(LowBidLead, LeadsThePartnersRuffSuitFirst)
{
    struct Case {
        const char* what;
        std::initializer_list<TCardFace> mine;
        std::initializer_list<TCardFace> gone;
        TCardFace expected;
    };
    const Case cases[] = {
        {"lowest of the suit", {H(1), D(13), D(7), D(3), S(2)}, {}, D(3)},
        {"king when its ace has gone", {H(1), D(13), D(7), D(3), S(2)}, {D(1)}, D(13)},
        {"its ace", {H(1), D(1), D(7), S(2)}, {}, D(1)},
        // Without diamonds the ruff suit cannot be led: the side-suit rule takes the heart ace.
        {"not held", {H(1), H(7), S(2)}, {}, H(1)},
    };
    for (const Case& c : cases) {
        Table t = Quiet(Clubs);
        // Seat 3's partner, seat 1: a trump, void in hearts and diamonds (diamonds, the later).
        t.hand(1, {C(5), S(9), S(10)});
        t.hand(3, c.mine).gone(c.gone);
        EXPECT_EQ(t.choose(3), c.expected) << c.what;
    }
}

TEST(LeadCandidates, SeatsReadThePartnerSuitsInTheirOwnOrder)
{
    // Partner with the king of spades and of diamonds, both aces gone, the next seat holding
    // both suits: entry 1 spades, entry 2 diamonds. All clubs (trump) are gone, so a high
    // bidder turns to the candidates as well.
    for (const int seat : {2, 3, 4}) {
        const SeatProfile& p = ProfileOf(seat);
        for (const std::int32_t bid : {3, 14}) {
            Table t(Clubs);
            for (int s = 1; s <= 4; ++s)
                t.hand(s, {S(2 + s), H(2 + s), D(2 + s)});
            t.hand(p.partner, {S(13), S(4), D(13), D(6), H(2)});
            t.hand(p.next, {S(3), D(3), H(3)});
            t.hand(seat, {S(5), S(8), D(7), D(9), H(10)}).bid(seat, bid);
            t.gone({C(1), C(2), C(3), C(4), C(5), C(6), C(7), C(8), C(9), C(10), C(11), C(12), C(13),
                    S(1), D(1)});
            const TCardFace expected = bid == 3 && seat != 2 ? D(7) : S(5);
            EXPECT_EQ(t.choose(seat), expected) << "seat " << seat << " bid " << bid;
        }
    }
}

TEST(BestCardStep, TrumpKingWithItsAceOut)
{
    Table t = Quiet(Spades);
    t.hand(4, {S(13), S(12), S(3), H(5), D(9), C(10)});
    EXPECT_EQ(t.choose(4), S(12));
    t.hand(4, {S(13), S(3), S(7), H(5), D(9), C(10)});
    EXPECT_EQ(t.choose(4), S(3));
}

TEST(BestCardStep, MasterOfTheChosenSuitElseItsLowest)
{
    Table t = Quiet(Spades);
    t.hand(4, {C(12), C(3), H(11), H(2)});
    EXPECT_EQ(t.choose(4), C(3));
    t.gone({C(1), C(13)});
    EXPECT_EQ(t.choose(4), C(12));
}

struct FollowCase {
    const char* what;
    int seat;
    std::int32_t trump;
    std::initializer_list<Play> trick;
    std::initializer_list<TCardFace> mine;
    TCardFace expected;
};

void RunFollowCases(std::initializer_list<FollowCase> cases, void (*adjust)(Table&, const FollowCase&) = nullptr)
{
    for (const FollowCase& c : cases) {
        Table t = Quiet(c.trump);
        t.hand(c.seat, c.mine).trick(c.trick);
        if (adjust)
            adjust(t, c);
        EXPECT_EQ(t.choose(c.seat), c.expected) << c.what;
    }
}

TEST(Follow, AceOfTheLedSuitWinning)
{
    RunFollowCases({
        {"partner's ace: lowest", 2, Spades, {{4, H(1)}, {1, H(5)}}, {H(13), H(9), H(2), D(3)}, H(2)},
        {"void, partner winning: discard", 2, Spades, {{4, H(1)}, {1, H(5)}}, {S(4), D(3), D(9)}, D(3)},
        {"void, opponent winning: ruff", 3, Spades, {{2, H(1)}}, {S(4), S(9), D(3)}, S(4)},
    });
    // The partner bid high and led trumps: help him draw them with the highest.
    Table t = Quiet(Hearts);
    t.hand(2, {H(13), H(9), H(2), D(3)}).trick({{4, H(1)}, {1, H(5)}}).bid(4, 14);
    EXPECT_EQ(t.choose(2), H(13));
    t.bid(4, 6);
    EXPECT_EQ(t.choose(2), H(2));
    Table side = Quiet(Spades);
    side.hand(2, {H(13), H(9), H(2), D(3)}).trick({{4, H(1)}, {1, H(5)}}).bid(4, 14);
    EXPECT_EQ(side.choose(2), H(2)) << "a high-bidding partner, but a side suit led";
}

TEST(Follow, KingOfTheLedSuitWinning)
{
    RunFollowCases({
        {"opponent's king, I hold the ace", 3, Spades, {{2, H(13)}}, {H(1), H(4), D(5)}, H(1)},
        {"opponent's king, no ace: lowest", 3, Spades, {{2, H(13)}}, {H(12), H(4), D(5)}, H(4)},
        {"opponent's king, void: lowest trump", 3, Spades, {{2, H(13)}}, {S(9), S(3), D(5)}, S(3)},
        {"partner's king: lowest even with the ace", 3, Spades, {{1, H(13)}}, {H(1), H(4)}, H(4)},
        {"partner's king, void: discard", 3, Spades, {{1, H(13)}}, {S(9), S(3), D(5)}, D(5)},
    });
}

TEST(Follow, QueenOfAnOpponentWinningWhileVoid)
{
    // Seat 2 is void in hearts; seat 3 plays after it.
    struct Case {
        const char* what;
        std::initializer_list<Play> trick;
        std::initializer_list<TCardFace> mine;
        bool nextHoldsLed;
        std::int32_t tricksWon;
        TCardFace expected;
    };
    const std::initializer_list<Play> second = {{1, H(12)}};
    const std::initializer_list<Play> fourth = {{3, H(12)}, {4, H(3)}, {1, H(4)}};
    const Case cases[] = {
        {"next seat still holds hearts: ruff", second, {S(9), S(4), D(7), D(2), C(5)}, true, 0, S(4)},
        {"next seat void, bid not made: discard", second, {S(9), S(4), D(7), D(2), C(5)}, false, 0, C(5)},
        {"next seat void, bid made: ruff", second, {S(9), S(4), D(7), D(2), C(5)}, false, 3, S(4)},
        {"fourth, bid not made: ruff", fourth, {S(9), S(4), C(5)}, false, 0, S(4)},
        {"only trumps: ruff", second, {S(9), S(4)}, false, 0, S(4)},
        {"no trumps: discard", second, {D(7), D(2), C(5)}, true, 0, C(5)},
    };
    for (const Case& c : cases) {
        Table t = Quiet(Spades);
        t.hand(2, c.mine).trick(c.trick).won(2, c.tricksWon);
        if (c.nextHoldsLed)
            t.hand(3, {H(6), C(6)});
        else
            t.hand(3, {C(6), D(9)});
        EXPECT_EQ(t.choose(2), c.expected) << c.what;
    }
    // The partner's queen: discard, whatever the next seat holds.
    Table t = Quiet(Spades);
    t.hand(2, {S(9), S(4), D(7), C(5)}).hand(3, {H(6)}).trick({{4, H(12)}, {1, H(3)}});
    EXPECT_EQ(t.choose(2), C(5));
}

TEST(Follow, QueenOfTheLedSuitWinningWhileFollowing)
{
    RunFollowCases({
        {"fourth: the king takes it", 2, Spades, {{3, H(12)}, {4, H(3)}, {1, H(4)}}, {H(13), H(2)}, H(13)},
        {"fourth, partner's queen: lowest", 2, Spades, {{4, H(12)}, {1, H(3)}, {3, H(4)}}, {H(13), H(2)},
         H(2)},
        {"second: the king only with its ace gone", 2, Spades, {{1, H(12)}}, {H(13), H(2)}, H(2)},
        {"second: the ace", 2, Spades, {{1, H(12)}}, {H(1), H(2)}, H(1)},
    });
    Table t = Quiet(Spades);
    t.hand(2, {H(13), H(2)}).trick({{1, H(12)}}).gone({H(1)});
    EXPECT_EQ(t.choose(2), H(13));
}

TEST(Follow, LowCardOfAnOpponentWinning)
{
    RunFollowCases({
        {"second: cheapest winner", 2, Spades, {{1, H(9)}}, {H(12), H(10), H(3)}, H(10)},
        {"third: the highest", 2, Spades, {{4, H(4)}, {1, H(9)}}, {H(12), H(10), H(3)}, H(12)},
        {"fourth: cheapest winner", 2, Spades, {{3, H(9)}, {4, H(2)}, {1, H(5)}}, {H(12), H(10), H(3)},
         H(10)},
        {"fourth with the ace: cheapest winner", 2, Spades, {{3, H(3)}, {4, D(9)}, {1, H(2)}},
         {H(1), H(4)}, H(4)},
        {"not fourth with the ace: the ace", 2, Spades, {{1, H(3)}}, {H(1), H(4)}, H(1)},
        {"cannot beat it: lowest", 2, Spades, {{1, H(9)}}, {H(8), H(3)}, H(3)},
    });
}

TEST(Follow, KingFourthToALowCardDependsOnTheSeat)
{
    for (const int seat : {2, 3, 4}) {
        const int leader = NextSeat(seat);
        Table t = Quiet(Spades);
        t.hand(seat, {H(13), H(5)});
        t.trick({{leader, H(4)}, {NextSeat(leader), H(2)}, {NextSeat(NextSeat(leader)), H(3)}});
        EXPECT_EQ(t.choose(seat), seat == 2 ? H(13) : H(5)) << "seat " << seat;
    }
}

TEST(Follow, PartnerWinningLowFourthWithTheBidMade)
{
    Table t = Quiet(Spades);
    t.hand(2, {H(12), H(3)}).trick({{3, H(2)}, {4, H(9)}, {1, H(5)}}).won(2, 3);
    EXPECT_EQ(t.choose(2), H(3));
    t.won(2, 2);
    EXPECT_EQ(t.choose(2), H(12)) << "the bid not yet made: take it";
}

TEST(Follow, SideSuitTrumpedByAnOpponent)
{
    RunFollowCases({
        {"over-ruff with the cheapest", 3, Spades, {{4, H(5)}, {1, H(7)}, {2, S(9)}}, {S(10), S(4), D(6)},
         S(10)},
        {"cannot over-ruff: discard", 3, Spades, {{4, H(5)}, {1, H(7)}, {2, S(9)}}, {S(8), S(4), D(6)}, D(6)},
        {"can follow: lowest of the led suit", 3, Spades, {{4, H(5)}, {1, H(7)}, {2, S(9)}},
         {H(13), H(2), S(1)}, H(2)},
        {"the trump ace won: discard", 3, Spades, {{4, H(5)}, {1, H(7)}, {2, S(1)}}, {S(13), D(6)}, D(6)},
        {"partner ruffed: discard", 4, Spades, {{1, H(5)}, {2, S(9)}, {3, H(7)}}, {S(10), D(6)}, D(6)},
        {"only trumps, too low: underruff", 3, Spades, {{4, H(5)}, {1, H(7)}, {2, S(9)}}, {S(8), S(4)},
         S(4)},
    });
}

TEST(Follow, AHighBidIsNeverMadeSoItRuffsThePartnersTrick)
{
    // Seat 2, partner 4 wins with a low heart, seat 3 still holds hearts.
    Table t = Quiet(Spades);
    t.hand(2, {S(5), S(9), D(3)}).hand(3, {H(2), C(8)}).trick({{4, H(7)}, {1, H(3)}});
    t.bid(2, 14).won(2, 7);
    EXPECT_EQ(t.choose(2), S(5));
    t.bid(2, 3).won(2, 3);
    EXPECT_EQ(t.choose(2), D(3));
}

TEST(ComputerPlay, CommitRecordsTheCardEverywhere)
{
    Table t = Quiet(Spades);
    t.hand(2, {H(2), D(4), C(9), H(8), S(6)}).trick({{3, H(5)}, {4, H(9)}, {1, H(3)}});
    const std::int32_t playedBefore = t.st.CardsPlayed;
    ComputerPlay(t.st, 2);
    const TCardFace card = t.st.ComputerCard;
    EXPECT_EQ(card, H(2)); // cannot beat the nine: lowest heart
    EXPECT_EQ(t.st.HandCount[2], 4);
    EXPECT_EQ(t.st.Hands[2][1], S(6)) << "the last card fills the gap";
    EXPECT_EQ(t.st.Hands[2][5], NoCard);
    EXPECT_EQ(t.st.Splits[2].Counts[Hearts], 1);
    EXPECT_EQ(t.st.Splits[2].Lists[Hearts][1], H(8));
    EXPECT_EQ(t.st.PlayedCards.Lists[Hearts][t.st.PlayedCards.Counts[Hearts]], H(2));
    EXPECT_EQ(t.st.Trick[4], (TTrickCard{Hearts, 2, 2}));
    EXPECT_EQ(t.st.TrickPos, 1);
    EXPECT_EQ(t.st.CardsPlayed, playedBefore + 1);
}

TEST(ComputerPlay, LeadingMovesTheTrickOn)
{
    Table t = Quiet(Spades);
    t.hand(3, {H(1), D(4)});
    ComputerPlay(t.st, 3);
    EXPECT_EQ(t.st.Trick[1], (TTrickCard{Hearts, 1, 3}));
    EXPECT_EQ(t.st.TrickPos, 2);
}

TEST(ComputerPlay, AlwaysChoosesAHeldCardThatFollowsSuit)
{
    // Every card of a small hand against every led card: whatever the rules pick is held, and
    // follows suit when it can.
    for (int led = 1; led <= 4; ++led) {
        for (int n = 1; n <= 13; ++n) {
            Table t = Quiet(Hearts);
            const TCardFace lead{led, n};
            t.hand(3, {S(12), C(1), D(2), H(7)}).trick({{2, lead}});
            if (t.st.Splits[3].Counts[led] > 0 &&
                t.st.Splits[3].Lists[led][1] == lead)
                continue; // a card cannot be both led and held
            const TCardFace card = t.choose(3);
            EXPECT_TRUE(IsHeldCard(t.st, 3, card)) << lead;
            if (t.st.Splits[3].Counts[led] > 0) {
                EXPECT_EQ(card.Suite, led) << lead;
            }
        }
    }
}

} // namespace
} // namespace halbeet

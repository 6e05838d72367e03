// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert and the seat view it decides from: fairness, legality, the trick rules on its own
// card coding, and its choices in positions built by hand.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/bidding.h"
#include "core/deal_cycle.h"
#include "core/expert/expert.h"
#include "core/expert/expert_player.h"
#include "core/expert/expert_playout.h"
#include "core/expert/expert_sampler.h"
#include "core/invariants.h"
#include "core/scoring.h"
#include "core/seat_view.h"
#include "core/selfplay.h"
#include "core/trick.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

using namespace test;
using expert::BitOf;
using expert::Mask;

// A real deal, bid by the fixed rules and played by them up to a given number of cards.
struct MidDeal {
    TGameState st;
    std::vector<TTrickCard> plays;

    MidDeal(std::uint32_t seed, int cards)
    {
        TRandom random([next = seed]() mutable { return next++; });
        InitDeck(st.Deck);
        DealNewDeal(st, random);
        for (int s = 1; s <= 4; ++s)
            ComputerBid(st.Hands[s], st.Trump, st.Bids[s], st.Scores[s]);
        int seat = FirstSeat(st.DealerCounter);
        while (static_cast<int>(plays.size()) < cards) {
            const TCardFace c = ChooseComputerCard(st, ProfileOf(seat));
            CommitCard(st, seat, c);
            plays.push_back(TTrickCard{c.Suite, c.Number, seat});
            if (st.TrickPos == 1) {
                const TTrickCard w = TrickWinner(st.Trick, st.Trump);
                ++st.TricksWon[w.Seat];
                st.Trick = {};
                seat = w.Seat;
            } else {
                seat = NextSeat(seat);
            }
        }
    }
    int toPlay() const { return view(1).SeatToPlay(); }
    SeatView view(int seat, const PerSeat<bool>& bids = kAllBidsPublic) const
    {
        return MakeSeatView(st, seat, plays, bids);
    }
};

// Moves unseen cards between the hands of the seats other than seat, keeping every hand's size,
// the voids play has shown and the unplayed cut card in the dealer's hand.
TGameState ShuffleUnseen(const TGameState& st, int seat, const SeatView& view, std::uint32_t seed)
{
    TGameState out = st;
    TRandom random([seed]() { return seed; });
    random.Reseed();
    const bool cutHidden = view.Dealer != seat && !view.CutCardPlayed();
    int swaps = 0;
    for (int tries = 0; tries < 2000 && swaps < 60; ++tries) {
        const int a = static_cast<int>(random.Below(4)) + 1;
        const int b = static_cast<int>(random.Below(4)) + 1;
        if (a == seat || b == seat || a == b || out.HandCount[a] == 0 || out.HandCount[b] == 0)
            continue;
        const int i =
            static_cast<int>(random.Below(static_cast<std::uint32_t>(out.HandCount[a]))) + 1;
        const int j =
            static_cast<int>(random.Below(static_cast<std::uint32_t>(out.HandCount[b]))) + 1;
        TCardFace& x = out.Hands[a][i];
        TCardFace& y = out.Hands[b][j];
        if (cutHidden && (x == st.CutCard || y == st.CutCard))
            continue;
        if (view.Void[b][x.Suite] || view.Void[a][y.Suite])
            continue;
        std::swap(x, y);
        ++swaps;
    }
    for (int s = 1; s <= 4; ++s)
        SplitBySuit(out.Hands[s], out.Splits[s]);
    return out;
}

TEST(SeatView, KnowsTheTableButNoOtherHand)
{
    for (const int cards : {0, 5, 18, 31, 37}) {
        const MidDeal d(11 + static_cast<std::uint32_t>(cards), cards);
        const int seat = d.toPlay();
        const SeatView v = d.view(seat);
        EXPECT_EQ(v.PlayCount, cards);
        EXPECT_EQ(v.HandCount, d.st.HandCount[seat]);
        EXPECT_TRUE(std::is_sorted(
            v.Hand.begin(), v.Hand.begin() + v.HandCount, [](TCardFace a, TCardFace b) {
                return a.Suite != b.Suite ? a.Suite < b.Suite
                                          : PlayRank(a.Number) < PlayRank(b.Number);
            }));
        EXPECT_EQ(v.TricksWon, d.st.TricksWon) << cards << " cards";
        EXPECT_EQ(v.CardsInTrick(), cards % 4);
        // Every void it records is real: the seat holds none of that suit.
        for (int s = 1; s <= 4; ++s) {
            for (int suit = 1; suit <= 4; ++suit) {
                if (v.Void[s][suit]) {
                    EXPECT_EQ(d.st.Splits[s].Counts[suit], 0) << "seat " << s << " suit " << suit;
                }
            }
        }

        // Another distribution of the unseen cards, the same view.
        const TGameState other =
            ShuffleUnseen(d.st, seat, v, 99 + static_cast<std::uint32_t>(cards));
        ASSERT_NE(other.Hands, d.st.Hands) << "the shuffle must move cards";
        EXPECT_EQ(MakeSeatView(other, seat, d.plays, kAllBidsPublic), v);
    }
}

TEST(SeatView, ShowsOnlyTheBidsMadeBeforeTheSeat)
{
    const MidDeal d(5, 0);
    const int first = FirstSeat(d.st.DealerCounter);
    int position = 0;
    for (int seat = first, k = 0; k < 4; seat = NextSeat(seat), ++k) {
        const SeatView v = d.view(seat, BidsSeenBefore(seat, d.st.DealerCounter));
        int seen = 0;
        for (int s = 1; s <= 4; ++s) {
            if (s != seat && v.Bids[s] != 0)
                ++seen;
        }
        EXPECT_EQ(seen, position++) << "seat " << seat;
        EXPECT_EQ(v.Bids[seat], 0) << "not even its own bid yet";
        EXPECT_EQ(d.view(seat).Bids[seat], d.st.Bids[seat]) << "every bid, in play";
    }
}

// A random legal situation at every stage of many deals; each seat decides from its own view.
TEST(Expert, ChoosesOnlyLegalCardsAndBids)
{
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        for (const int cards : {0, 1, 2, 3, 9, 22, 27, 38, 44, 50, 51}) {
            const MidDeal d(seed * 31, cards);
            const int seat = d.toPlay();
            const SeatView v = d.view(seat);
            const ExpertCard choice = ExpertChooseCard(v, seed);
            EXPECT_TRUE(IsHeldCard(d.st, seat, choice.card))
                << "seed " << seed << " card " << cards;
            if (cards % 4 != 0) {
                const std::int32_t led = d.plays[static_cast<std::size_t>(cards - cards % 4)].Suite;
                if (d.st.Splits[seat].Counts[led] + (choice.card.Suite == led ? 1 : 0) > 0) {
                    EXPECT_EQ(choice.card.Suite, led)
                        << "follows suit, seed " << seed << " card " << cards;
                }
            }
        }
    }
    const std::int32_t allowed[] = {2, 3, 4, 5, 6, 14, 16, 18, 20, 22, 24, 26};
    for (const std::int32_t score : {-12, 0, 29, 30, 39, 40, 55}) {
        MidDeal d(static_cast<std::uint32_t>(400 + score), 0);
        const int seat = FirstSeat(d.st.DealerCounter);
        d.st.Scores[seat] = score;
        const ExpertBid bid =
            ExpertChooseBid(d.view(seat, BidsSeenBefore(seat, d.st.DealerCounter)), 3);
        EXPECT_NE(std::find(std::begin(allowed), std::end(allowed), bid.bid), std::end(allowed));
        EXPECT_GE(bid.bid, LowestBid(score)) << "score " << score;
        EXPECT_GE(bid.expectedTricks, 0.0);
        EXPECT_LE(bid.expectedTricks, 13.0);
    }
}

// The Expert's decision is a function of what the seat may know and of the seed: dealing the
// unseen cards differently among the other hands changes nothing.
TEST(Expert, NeverDependsOnHiddenCards)
{
    for (std::uint32_t seed = 1; seed <= 10; ++seed) {
        const int cards = static_cast<int>(seed * 7 % 40);
        const MidDeal d(seed * 7 + 1, cards);
        const int seat = d.toPlay();
        const SeatView v = d.view(seat);
        const TGameState other = ShuffleUnseen(d.st, seat, v, seed);
        ASSERT_NE(other.Hands, d.st.Hands);
        const SeatView w = MakeSeatView(other, seat, d.plays, kAllBidsPublic);
        EXPECT_EQ(ExpertChooseCard(v, seed).card, ExpertChooseCard(w, seed).card)
            << "seed " << seed;
    }
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const MidDeal d(seed * 13, 0);
        for (int seat = 1; seat <= 4; ++seat) {
            const PerSeat<bool> seen = BidsSeenBefore(seat, d.st.DealerCounter);
            const SeatView v = d.view(seat, seen);
            const TGameState other = ShuffleUnseen(d.st, seat, v, seed);
            const SeatView w = MakeSeatView(other, seat, d.plays, seen);
            EXPECT_EQ(ExpertChooseBid(v, seed).bid, ExpertChooseBid(w, seed).bid);
        }
    }
}

// The bit-mask trick rules decide every trick exactly as TrickWinner does.
TEST(ExpertPlayout, TrickRulesMatchTrickWinner)
{
    expert::Rng rng(7);
    for (int n = 0; n < 20000; ++n) {
        const std::int32_t trump = static_cast<std::int32_t>(rng.below(4)) + 1;
        const int length = static_cast<int>(rng.below(4)) + 1;
        const int leader = static_cast<int>(rng.below(4)) + 1;
        Mask used = 0;
        TTrick trick{};
        expert::Position pos;
        pos.trump = trump;
        pos.leader = leader;
        // Most tricks keep to two suits, so that following, ruffing and over-ruffing all occur.
        const std::int32_t suitA = static_cast<std::int32_t>(rng.below(4)) + 1;
        for (int p = 1, seat = leader; p <= length; ++p, seat = NextSeat(seat)) {
            TCardFace c;
            do {
                const std::uint32_t pick = rng.below(8);
                c.Suite = pick < 4   ? suitA
                          : pick < 6 ? trump
                                     : static_cast<std::int32_t>(rng.below(4)) + 1;
                c.Number = static_cast<std::int32_t>(rng.below(13)) + 1;
            } while ((used & BitOf(c)) != 0);
            used |= BitOf(c);
            trick[static_cast<std::size_t>(p)] = TTrickCard{c.Suite, c.Number, seat};
            pos.trickBit[static_cast<std::size_t>(p - 1)] = expert::CardBit(c.Suite, c.Number);
        }
        pos.trickLen = length;
        const TTrickCard expected = TrickWinner(trick, trump);
        const int wpos = pos.winnerPos();
        EXPECT_EQ(trick[static_cast<std::size_t>(wpos + 1)], expected) << "trick " << n;
        if (length == 4) {
            pos.hand[leader] = 0;
            const int before = pos.won[expected.Seat];
            pos.trickLen = 3;
            pos.play(pos.trickBit[3]);
            EXPECT_EQ(pos.won[expected.Seat], before + 1);
            EXPECT_EQ(pos.leader, expected.Seat);
        }
    }
}

TEST(ExpertPlayout, CardCodingRoundTrips)
{
    for (int suit = 1; suit <= 4; ++suit) {
        for (int number = 1; number <= 13; ++number) {
            const int bit = expert::CardBit(suit, number);
            EXPECT_EQ(expert::FaceOfBit(bit), (TCardFace{suit, number}));
            EXPECT_NE(expert::SuitMask(suit) & (Mask{1} << bit), 0u);
        }
    }
    EXPECT_EQ(expert::Count(expert::kAllCards), 52);
    // Within a suit a higher bit is a higher card, the ace on top.
    EXPECT_GT(expert::CardBit(Hearts, Ace), expert::CardBit(Hearts, King));
    EXPECT_GT(expert::CardBit(Hearts, 3), expert::CardBit(Hearts, 2));
}

TEST(ExpertSampler, CountedBidIsTheFixedRuleBid)
{
    expert::Rng rng(3);
    for (int n = 0; n < 3000; ++n) {
        std::array<int, 52> deck{};
        for (int i = 0; i < 52; ++i)
            deck[static_cast<std::size_t>(i)] = i;
        THand hand{};
        Mask mask = 0;
        for (int k = 1; k <= 13; ++k) {
            const int j =
                k - 1 + static_cast<int>(rng.below(static_cast<std::uint32_t>(52 - (k - 1))));
            std::swap(deck[static_cast<std::size_t>(k - 1)], deck[static_cast<std::size_t>(j)]);
            const int c = deck[static_cast<std::size_t>(k - 1)];
            hand[static_cast<std::size_t>(k)] = TCardFace{c / 13 + 1, c % 13 + 1};
            mask |= BitOf(hand[static_cast<std::size_t>(k)]);
        }
        const std::int32_t trump = static_cast<std::int32_t>(rng.below(4)) + 1;
        const std::int32_t score = static_cast<std::int32_t>(rng.below(70)) - 20;
        std::int32_t bid = 0;
        ComputerBid(hand, trump, bid, score);
        EXPECT_EQ(expert::CountedBid(mask, trump, score), bid);
    }
}

TEST(ExpertSampler, DealsTheUnseenCardsAsTheViewAllows)
{
    for (const int cards : {0, 13, 29, 42}) {
        const MidDeal d(77 + static_cast<std::uint32_t>(cards), cards);
        const int seat = d.toPlay();
        const SeatView v = d.view(seat);
        const expert::Knowledge k = expert::Analyse(v);
        expert::Rng rng(5);
        for (int n = 0; n < 200; ++n) {
            std::array<Mask, 5> hands{};
            ASSERT_TRUE(expert::SampleHands(k, rng, hands));
            Mask all = 0;
            for (int s = 1; s <= 4; ++s) {
                EXPECT_EQ(expert::Count(hands[s]), d.st.HandCount[s]) << "seat " << s;
                EXPECT_EQ(all & hands[s], 0u) << "no card twice";
                all |= hands[s];
                for (int suit = 1; suit <= 4; ++suit) {
                    if (v.Void[s][suit]) {
                        EXPECT_EQ(hands[s] & expert::SuitMask(suit), 0u);
                    }
                }
            }
            Mask played = 0;
            for (const TTrickCard& p : d.plays)
                played |= BitOf(p.Suite, p.Number);
            EXPECT_EQ(all, expert::kAllCards & ~played);
            if (!v.CutCardPlayed()) {
                EXPECT_NE(hands[v.Dealer] & BitOf(v.CutCard), 0u)
                    << "the cut card stays with the dealer";
            }
        }
    }
}

// A hand-built late position: the seat's own cards, how many the others still hold, the trick
// so far; every other card of the deal counts as played in earlier tricks.
struct Endgame {
    int seat = 1;
    std::int32_t trump = Clubs;
    std::vector<TCardFace> mine;
    std::vector<TCardFace> elsewhere; // the other seats' cards, for the counts and the unseen pool
    std::vector<Play> trick;
    PerSeat<std::int32_t> bids{0, 3, 3, 3, 3};
    PerSeat<std::int32_t> won{};
    PerSeat<std::int32_t> scores{};

    SeatView view() const
    {
        const int held = static_cast<int>(mine.size());
        const int tricksLeft = held + (std::any_of(trick.begin(), trick.end(),
                                                   [&](const Play& p) { return p.seat == seat; })
                                           ? 1
                                           : 0);
        SeatView v;
        v.Seat = seat;
        v.Trump = trump;
        v.Dealer = 4;
        v.Bids = bids;
        v.Scores = scores;
        for (const TCardFace& c : mine)
            v.Hand[static_cast<std::size_t>(v.HandCount++)] = c;
        std::sort(v.Hand.begin(), v.Hand.begin() + v.HandCount, [](TCardFace a, TCardFace b) {
            return a.Suite != b.Suite ? a.Suite < b.Suite : PlayRank(a.Number) < PlayRank(b.Number);
        });
        Mask live = 0;
        for (const TCardFace& c : mine)
            live |= BitOf(c);
        for (const TCardFace& c : elsewhere)
            live |= BitOf(c);
        for (const Play& p : trick)
            live |= BitOf(p.card);
        // Earlier tricks: the remaining cards, one per seat per trick, lowest first.
        std::vector<TCardFace> gone;
        for (int bit = 0; bit < 64; ++bit) {
            if ((expert::kAllCards & ~live & (Mask{1} << bit)) != 0)
                gone.push_back(expert::FaceOfBit(bit));
        }
        const int earlier = 13 - tricksLeft;
        EXPECT_EQ(static_cast<int>(gone.size()), 4 * earlier)
            << "the position must add up to 52 cards";
        std::size_t g = 0;
        for (int t = 0; t < earlier; ++t) {
            // Every seat follows the led suit of these made-up tricks as far as the cards allow,
            // so no void is shown; the voids a test needs it says itself.
            for (int s = 1; s <= 4; ++s)
                v.Plays[static_cast<std::size_t>(v.PlayCount++)] =
                    TTrickCard{gone[g].Suite, gone[g].Number, s},
                ++g;
        }
        for (const Play& p : trick)
            v.Plays[static_cast<std::size_t>(v.PlayCount++)] =
                TTrickCard{p.card.Suite, p.card.Number, p.seat};
        v.TricksWon = won;
        v.TrickLeader = trick.empty() ? seat : trick.front().seat;
        return v;
    }
};

TEST(Expert, ChoosesWellInBuiltPositions)
{
    struct Case {
        const char* what;
        Endgame position;
        TCardFace expected;
        ExpertReason why;
    };
    std::vector<Case> cases;
    {
        // Fourth to a heart trick led with the king: the ace makes the bid, 41 points and the game.
        Endgame e;
        e.mine = {H(Ace), H(2)};
        e.elsewhere = {S(5), D(9), C(8)};
        e.trick = {{2, H(King)}, {3, H(3)}, {4, H(5)}};
        e.bids = {0, 3, 2, 2, 3};
        e.won = {0, 2, 4, 3, 2};
        e.scores = {0, 38, 6, 10, 4};
        cases.push_back({"takes the trick that wins the game", e, H(Ace), ExpertReason::WinsTrick});
    }
    {
        // Every trump is gone: the heart ace is a sure trick now, and the diamond would give the
        // lead away with the bid one trick short.
        Endgame e;
        e.seat = 1;
        e.mine = {H(Ace), D(4)};
        e.elsewhere = {S(5), S(6), D(9), D(10), S(9), H(4)};
        e.bids = {0, 4, 3, 3, 3};
        e.won = {0, 3, 3, 3, 2};
        cases.push_back({"cashes the sure trick it needs", e, H(Ace), ExpertReason::LeadsWinner});
    }
    {
        // Out of spades, an opponent winning, one trick short: ruff with the lone trump.
        Endgame e;
        e.seat = 1;
        e.mine = {C(2), D(3)};
        e.elsewhere = {D(10), H(3), H(4)};
        e.trick = {{2, S(King)}, {3, S(4)}, {4, S(3)}};
        e.bids = {0, 3, 3, 3, 3};
        e.won = {0, 2, 3, 3, 3};
        cases.push_back({"ruffs to make its bid", e, C(2), ExpertReason::Ruffs});
    }
    {
        // The partner's ace wins and no one after can beat it: keep the king for later.
        Endgame e;
        e.seat = 1;
        e.mine = {H(King), H(3), S(Ace)};
        e.elsewhere = {H(4), S(2), S(3), D(2), D(3), D(4), D(5)};
        e.trick = {{3, H(Ace)}, {4, H(5)}};
        e.bids = {0, 3, 3, 3, 3};
        e.won = {0, 1, 3, 3, 3};
        cases.push_back(
            {"leaves the trick to its partner", e, H(3), ExpertReason::LeavesToPartner});
    }
    {
        // Seat 1 is past 41 but its partner is below zero. Taking the trick from the partner's
        // king would make its own bid and break the partner's; giving it up wins the game.
        Endgame e;
        e.seat = 1;
        e.mine = {H(Ace), H(2)};
        e.elsewhere = {S(5), D(9), C(8)};
        e.trick = {{2, H(5)}, {3, H(King)}, {4, H(3)}};
        e.bids = {0, 3, 3, 2, 3};
        e.won = {0, 2, 5, 1, 3};
        e.scores = {0, 45, 10, -2, 12};
        cases.push_back({"gives its partner the trick that wins the game", e, H(2),
                         ExpertReason::LeavesToPartner});
    }
    for (const Case& c : cases) {
        const SeatView v = c.position.view();
        ASSERT_EQ(v.SeatToPlay(), v.Seat) << c.what;
        for (const std::uint64_t seed : {1u, 2u, 3u}) {
            const ExpertCard got = ExpertChooseCard(v, seed);
            EXPECT_EQ(got.card, c.expected) << c.what << ", seed " << seed;
            EXPECT_EQ(got.why, c.why) << c.what << ", seed " << seed;
        }
    }
}

// The reason shown with a hint is a fact a player can check on the table: a "low lead" is the
// bottom of its suit in the hand and below the ten, "keep high cards" keeps back one that would
// win, "least useful card" is the lowest of its suit. When no such fact holds, no reason is
// given.
TEST(Expert, ReasonIsTrueOfTheCard)
{
    struct Case {
        const char* what;
        Endgame position;
        TCardFace card;
        ExpertReason why;
    };
    auto lead = [](std::vector<TCardFace> mine, std::vector<TCardFace> elsewhere,
                   std::int32_t trump = Clubs) {
        Endgame e;
        e.trump = trump;
        e.mine = std::move(mine);
        e.elsewhere = std::move(elsewhere);
        return e;
    };
    // Seat 4 has led the spade king; seat 1 is second to play.
    auto second = [](std::vector<TCardFace> mine, std::vector<TCardFace> elsewhere) {
        Endgame e;
        e.mine = std::move(mine);
        e.elsewhere = std::move(elsewhere);
        e.trick = {{4, S(King)}};
        return e;
    };
    const std::vector<TCardFace> others9 = {H(2), H(3), S(4), S(5), D(5), D(6), C(2), C(3), C(4)};
    const std::vector<TCardFace> others8 = {S(6), S(7), H(8), H(9), D(8), D(9), C(8), C(9)};
    const Endgame kingLead = lead({H(King), S(3), D(4)}, {H(Ace), H(2), S(4), S(5), D(5), D(6), C(2), C(3), C(4)});
    const Endgame spades = lead({S(9), S(10), S(Queen)}, {S(Ace), S(King), H(2), H(3), H(4), D(2), D(3), D(4), C(5)});
    const Endgame clubs = lead({C(2), C(10), D(3)}, {C(Ace), C(3), S(2), S(3), S(4), D(4), D(5), D(6), H(2)}, Hearts);
    const Endgame masters = lead({H(Ace), C(Ace), D(4)}, others9);
    const Endgame keepsAce = second({S(3), S(Ace), D(4)}, others8);
    const Endgame nothingHigher = second({S(3), S(5), D(4)}, others8);
    const Endgame voidInSpades = second({D(2), D(King), C(2)}, others8);
    const Endgame oneSpade = second({S(3), D(4), H(5)}, others8);
    const std::vector<Case> cases = {
        {"a king under an unseen ace is no low lead", kingLead, H(King), ExpertReason::NoReason},
        {"a lone low card of its suit is a low lead", kingLead, S(3), ExpertReason::LeadsLow},
        {"a queen over the nine and ten is no low lead", spades, S(Queen), ExpertReason::NoReason},
        {"the ten over the nine is no low lead", spades, S(10), ExpertReason::NoReason},
        {"the nine below the ten and queen is a low lead", spades, S(9), ExpertReason::LeadsLow},
        {"a ten over the two is no low lead", clubs, C(10), ExpertReason::NoReason},
        {"the two is a low lead", clubs, C(2), ExpertReason::LeadsLow},
        {"an ace nobody can beat is a sure winner", masters, H(Ace), ExpertReason::LeadsWinner},
        {"the trump ace draws trumps", masters, C(Ace), ExpertReason::DrawsTrumps},
        {"low under the king, the ace kept", keepsAce, S(3), ExpertReason::SavesHighCard},
        {"the ace over the king takes the trick", keepsAce, S(Ace), ExpertReason::WinsTrick},
        {"the higher of two low spades keeps nothing high", nothingHigher, S(5), ExpertReason::CannotWin},
        {"the lower of two low spades keeps nothing high either", nothingHigher, S(3), ExpertReason::CannotWin},
        {"a king thrown over the two is not the least useful card", voidInSpades, D(King), ExpertReason::NoReason},
        {"the two of a suit is the least useful card", voidInSpades, D(2), ExpertReason::DiscardsLowest},
        {"a trump on the king ruffs", voidInSpades, C(2), ExpertReason::Ruffs},
        {"the one spade must follow", oneSpade, S(3), ExpertReason::OnlyCard},
    };
    for (const Case& c : cases) {
        const SeatView v = c.position.view();
        ASSERT_EQ(v.SeatToPlay(), v.Seat) << c.what;
        ASSERT_NE(LegalCardMask(v) & BitOf(c.card), 0u) << c.what << ": the card must be legal";
        EXPECT_EQ(ExpertReasonFor(v, c.card), c.why) << c.what;
    }
}

TEST(Expert, BidsMoreWithAStrongerHand)
{
    // Seat 2 bids first after dealer 1; one hand with every trump honour and the side aces,
    // one with nothing.
    TGameState st;
    st.Trump = Spades;
    st.DealerCounter = 1;
    st.CutCard = C(5);
    const std::vector<TCardFace> strong = {S(Ace), S(King), S(Queen), S(Jack), S(10),
                                           S(9),   H(Ace),  H(King),  D(Ace),  D(King),
                                           C(Ace), C(King), C(Queen)};
    const std::vector<TCardFace> weak = {S(2), S(3), H(2), H(3), H(4), H(5), D(2),
                                         D(3), D(4), D(5), C(2), C(3), C(4)};
    auto bidWith = [&](const std::vector<TCardFace>& cards) {
        TGameState s = st;
        s.HandCount[2] = 13;
        for (int k = 1; k <= 13; ++k)
            s.Hands[2][static_cast<std::size_t>(k)] = cards[static_cast<std::size_t>(k - 1)];
        return ExpertChooseBid(MakeSeatView(s, 2, {}, BidsSeenBefore(2, 1)), 1);
    };
    const ExpertBid high = bidWith(strong);
    const ExpertBid low = bidWith(weak);
    EXPECT_GE(high.bid, 14) << "a hand of twelve sure winners bids 7 or more";
    EXPECT_GT(high.expectedTricks, 10.0);
    EXPECT_EQ(low.bid, 2);
    EXPECT_EQ(low.why, ExpertReason::BidsLowest);
    EXPECT_LT(low.expectedTricks, 1.5);
}

// Whole deals through the game model with four Expert seats: every bid and card is accepted by
// the model and the bookkeeping holds after every card.
TEST(ExpertPlayer, PlaysWholeDealsThroughTheGame)
{
    SelfPlay play([next = std::uint32_t{17}]() mutable { return next++; });
    ExpertPlayer experts[4] = {ExpertPlayer(1), ExpertPlayer(2), ExpertPlayer(3), ExpertPlayer(4)};
    for (int seat = 1; seat <= 4; ++seat)
        play.setPlayer(seat, &experts[seat - 1]);
    InvariantChecker checker;
    for (int seat = 1; seat <= 4; ++seat)
        checker.setClassicSeat(seat, false);
    int played = 0;
    for (int deal = 0; deal < 6; ++deal) {
        const DealOutcome outcome = play.playDeal(&checker);
        ASSERT_NE(outcome, DealOutcome::Stopped) << checker.violation();
        played += outcome == DealOutcome::Played ? 1 : 0;
    }
    EXPECT_GT(played, 0);
}

// While bidding, a seat sees the bids made before it in turn order, and no other.
TEST(ExpertPlayer, ViewWhileBiddingShowsOnlyEarlierBids)
{
    GameModel game([next = std::uint32_t{3}]() mutable { return next++; });
    for (int deal = 0; deal < 4; ++deal) {
        ASSERT_TRUE(game.startDeal());
        const int first = FirstSeat(game.state().DealerCounter);
        while (game.phase() == Phase::Bidding) {
            const int seat = game.toAct();
            const SeatView v = ViewOf(game, seat);
            for (int s = 1; s <= 4; ++s) {
                bool before = false;
                for (int t = first; t != seat; t = NextSeat(t))
                    before = before || t == s;
                const bool shown = v.Bids[s] != 0;
                EXPECT_EQ(shown, before && game.bidMade(s))
                    << "seat " << seat << " looking at " << s;
            }
            ASSERT_TRUE(game.bid(LowestBid(game.state().Scores[seat]) + 3));
        }
        ASSERT_EQ(game.phase(), Phase::Playing);
        const SeatView v = ViewOf(game, game.toAct());
        for (int s = 1; s <= 4; ++s)
            EXPECT_EQ(v.Bids[s], game.state().Bids[s]) << "every bid once the play starts";
        game.newGame();
    }
}

} // namespace
} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "core/invariants.h"
#include "core/selfplay.h"
#include "table_fixture.h"

namespace halbeet {
namespace {

// Counts the readings of the clock, and gives (start + k) for the k-th.
struct CountingSeeds {
    std::uint32_t start = 0;
    std::shared_ptr<std::int64_t> readings = std::make_shared<std::int64_t>(0);

    SeedSource source() const
    {
        return [start = start, readings = readings]() {
            return static_cast<std::uint32_t>(start + static_cast<std::uint32_t>((*readings)++));
        };
    }
};

TEST(SelfPlay, SixClockReadingsPerDealAndTheDealerMovesOn)
{
    CountingSeeds seeds{7};
    SelfPlay play(seeds.source());
    const int dealers[] = {1, 2, 3, 4, 1, 2, 3, 4, 1};
    for (int d = 1; d <= 9; ++d) {
        play.playDeal();
        EXPECT_EQ(*seeds.readings, 6 * d);
        EXPECT_EQ(play.lastDeal().dealer, dealers[d - 1]) << "deal " << d;
        EXPECT_EQ(play.lastDeal().deal, d);
    }
}

TEST(SelfPlay, APlayedDealKeepsTheRulesBookkeeping)
{
    SelfPlay play([next = std::uint32_t{1}]() mutable { return next++; });
    InvariantChecker checker;
    int played = 0, passed = 0;
    while (played < 50 || passed < 5) {
        const DealOutcome outcome = play.playDeal(&checker);
        ASSERT_NE(outcome, DealOutcome::Stopped) << checker.violation();
        const DealRecord& r = play.lastDeal();
        const std::int32_t total = r.bids[1] + r.bids[2] + r.bids[3] + r.bids[4];
        if (outcome == DealOutcome::Passed) {
            ++passed;
            EXPECT_LT(total, 11);
            EXPECT_EQ(r.playCount, 0);
            EXPECT_EQ(r.tricks, (PerSeat<std::int32_t>{}));
        } else {
            ++played;
            EXPECT_GE(total, 11);
            EXPECT_EQ(r.playCount, 52);
            EXPECT_EQ(r.plays[1].Seat, r.dealer % 4 + 1) << "the seat after the dealer leads";
        }
        // Seat 1's hand is shown sorted: suits in the order clubs, hearts, spades, diamonds.
        const int rank[5] = {0, 0, 2, 1, 3};
        for (int k = 2; k <= 13; ++k)
            EXPECT_LE(rank[r.hands[1][k - 1].Suite], rank[r.hands[1][k].Suite]);
        // The cut card is the dealer's first card; the trump is the other suit of its colour.
        EXPECT_EQ(r.trump, SameColourSuit(r.cut.Suite));
    }
}

TEST(SelfPlay, AWonGameResetsTheScoresAndCountsTheNextGame)
{
    SelfPlay play([next = std::uint32_t{99}]() mutable { return next++; });
    for (int d = 0; d < 5000; ++d) {
        play.playDeal();
        const DealRecord r = play.lastDeal();
        if (r.winner == 0)
            continue;
        EXPECT_GE(r.scores[r.winner], 41);
        EXPECT_EQ(play.state().Scores, (PerSeat<std::int32_t>{}));
        play.playDeal();
        EXPECT_EQ(play.lastDeal().game, r.game + 1);
        return;
    }
    FAIL() << "no game was won in 5000 deals";
}

TEST(SelfPlay, SameSeedSameDeals)
{
    SelfPlay a([next = std::uint32_t{5}]() mutable { return next++; });
    SelfPlay b([next = std::uint32_t{5}]() mutable { return next++; });
    SelfPlay c([next = std::uint32_t{6}]() mutable { return next++; });
    std::string ta, tb, tc;
    for (int d = 0; d < 200; ++d) {
        a.playDeal();
        b.playDeal();
        c.playDeal();
        AppendDealJson(ta, a.lastDeal());
        AppendDealJson(tb, b.lastDeal());
        AppendDealJson(tc, c.lastDeal());
    }
    EXPECT_EQ(ta, tb);
    EXPECT_NE(ta, tc);
}

TEST(AppendDealJson, ExactFormat)
{
    using namespace test;
    DealRecord r;
    r.deal = 3;
    r.game = 2;
    r.dealer = 4;
    r.trump = Hearts;
    r.cut = D(9);
    for (int s = 1; s <= 4; ++s)
        for (int k = 1; k <= 13; ++k)
            r.hands[s][k] = TCardFace{s, k};
    r.bids = {0, 2, 14, 3, 4};
    r.passed = false;
    r.playCount = 2;
    r.plays[1] = {Clubs, 1, 1};
    r.plays[2] = {Clubs, 13, 2};
    r.takerCount = 1;
    r.takers[1] = 1;
    r.tricks = {0, 1, 0, 0, 0};
    r.scores = {0, -2, 14, 0, 41};
    r.winner = 4;
    std::string out;
    AppendDealJson(out, r);

    std::string hands;
    for (int s = 1; s <= 4; ++s) {
        hands += s > 1 ? ",[" : "[";
        for (int k = 1; k <= 13; ++k)
            hands += (k > 1 ? ",[" : "[") + std::to_string(s) + "," + std::to_string(k) + "]";
        hands += "]";
    }
    EXPECT_EQ(out, "{\"deal\":3,\"game\":2,\"dealer\":4,\"trump\":3,\"cut\":[4,9],\"hands\":[" + hands +
                       "],\"bids\":[2,14,3,4],\"passed\":false,\"plays\":[[1,1,1],[2,1,13]],\"takers\":[1],"
                       "\"tricks\":[1,0,0,0],\"scores\":[-2,14,0,41],\"winner\":4}\n");

    r.passed = true;
    r.playCount = 0;
    r.takerCount = 0;
    out.clear();
    AppendDealJson(out, r);
    EXPECT_NE(out.find("\"passed\":true,\"plays\":[],\"takers\":[]"), std::string::npos) << out;
}

// The checker is only worth running if it notices a broken state.
TEST(InvariantChecker, NoticesBrokenBookkeeping)
{
    using namespace test;
    struct Case {
        const char* what;
        void (*breakIt)(TGameState&);
    };
    const Case cases[] = {
        {"card vanished from a split", [](TGameState& st) { st.Splits[3].Counts[st.Hands[3][1].Suite] -= 1; }},
        {"card counted twice", [](TGameState& st) { st.Hands[2][1] = st.Hands[4][1]; }},
        {"played card not recorded", [](TGameState& st) { st.PlayedCards.Counts[1] = 0; st.PlayedCards.Counts[2] = 0;
                                                           st.PlayedCards.Counts[3] = 0; st.PlayedCards.Counts[4] = 0; }},
        {"CardsPlayed off", [](TGameState& st) { ++st.CardsPlayed; }},
        {"trick seat wrong", [](TGameState& st) { st.Trick[1].Seat = st.Trick[1].Seat % 4 + 1; }},
    };
    for (const Case& c : cases) {
        SelfPlay play([next = std::uint32_t{3}]() mutable { return next++; });
        // Find a played deal, then replay its first card's check against a broken copy.
        struct Breaker : PlayObserver {
            InvariantChecker checker;
            void (*breakIt)(TGameState&) = nullptr;
            bool fired = false;
            bool checked = false;
            bool afterCard(const TGameState& st, int seat, TCardFace card, const DealRecord& rec) override
            {
                if (checked)
                    return true;
                checked = true;
                EXPECT_TRUE(checker.afterCard(st, seat, card, rec)) << checker.violation();
                TGameState broken = st;
                breakIt(broken);
                fired = !checker.afterCard(broken, seat, card, rec);
                return true;
            }
        } breaker;
        breaker.breakIt = c.breakIt;
        for (int d = 0; d < 20 && !breaker.checked; ++d)
            play.playDeal(&breaker);
        ASSERT_TRUE(breaker.checked);
        EXPECT_TRUE(breaker.fired) << c.what;
        EXPECT_FALSE(breaker.checker.violation().empty()) << c.what;
    }
}

TEST(InvariantChecker, NoticesAWrongScoreOrTrickCount)
{
    SelfPlay play([next = std::uint32_t{1}]() mutable { return next++; });
    ASSERT_EQ(play.playDeal(), DealOutcome::Played);
    const DealRecord good = play.lastDeal();
    EXPECT_TRUE(InvariantChecker().afterDeal(play.state(), good));

    DealRecord wrongScore = good;
    wrongScore.scores[2] += 1;
    InvariantChecker scores;
    EXPECT_FALSE(scores.afterDeal(play.state(), wrongScore));
    EXPECT_NE(scores.violation().find("scores"), std::string::npos) << scores.violation();

    DealRecord wrongTaker = good;
    wrongTaker.takers[13] = wrongTaker.takers[13] % 4 + 1;
    InvariantChecker tricks;
    EXPECT_FALSE(tricks.afterDeal(play.state(), wrongTaker));
}

TEST(InvariantChecker, NoticesAReneged)
{
    using namespace test;
    Table t(Spades);
    t.hand(2, {H(4), D(5)}).trick({{1, H(9)}});
    InvariantChecker checker;
    DealRecord rec;
    EXPECT_FALSE(checker.beforeCard(t.st, 2, D(5), rec));
    EXPECT_NE(checker.violation().find("led suit"), std::string::npos) << checker.violation();
    InvariantChecker fresh;
    EXPECT_FALSE(fresh.beforeCard(t.st, 2, C(5), rec)) << "a card it does not hold";
}

TEST(PlainTrickWinner, AgreesWithTheExamples)
{
    const TTrick trick{{{}, {3, 9, 2}, {3, 13, 3}, {1, 2, 4}, {3, 2, 1}}};
    EXPECT_EQ(PlainTrickWinner(trick, Clubs), (TTrickCard{1, 2, 4}));
    EXPECT_EQ(PlainTrickWinner(trick, Spades), (TTrickCard{3, 13, 3}));
}

} // namespace
} // namespace halbeet

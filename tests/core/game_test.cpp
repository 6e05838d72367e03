// SPDX-License-Identifier: GPL-3.0-or-later
// The game model: legal actions, the order of a deal, its events, and saving and restoring.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/player.h"
#include "core/selfplay.h"
#include "core/trick.h"

namespace halbeet {
namespace {

SeedSource countingSeeds(std::uint32_t start = 1)
{
    return [next = start]() mutable { return next++; };
}

// Gives the bids in the program's order (seats 2, 3, 4, then 1).
void bidAll(GameModel& game, std::array<std::int32_t, 4> bids234and1)
{
    for (const std::int32_t b : bids234and1)
        ASSERT_TRUE(game.bid(b)) << "bid " << b << " refused for seat " << game.toAct();
}

struct EventLog final : GameListener {
    std::vector<GameEvent::Kind> kinds;
    std::vector<GameEvent> events;
    void gameEvent(const GameModel&, const GameEvent& event) override
    {
        kinds.push_back(event.kind);
        events.push_back(event);
    }
};

// Everything the game claims about one deal, re-derived by plain means. Empty when it holds.
std::string checkGame(const GameModel& game)
{
    const TGameState& st = game.state();
    if (!game.dealInProgress() && game.phase() != Phase::DealOver && game.phase() != Phase::GameOver)
        return {};
    // Bit n of a set: the card (n / 13 + 1, n % 13 + 1). A card seen twice is reported at once.
    std::uint64_t cards = 0;
    const auto bit = [](TCardFace c) { return std::uint64_t{1} << ((c.Suite - 1) * 13 + (c.Number - 1)); };
    const auto add = [&bit](std::uint64_t& set, TCardFace c) {
        if (c.Suite < 1 || c.Suite > 4 || c.Number < 1 || c.Number > 13 || (set & bit(c)) != 0)
            return false;
        set |= bit(c);
        return true;
    };
    for (int s = 1; s <= 4; ++s) {
        const auto seat = static_cast<std::size_t>(s);
        std::uint64_t hand = 0, split = 0;
        for (int k = 1; k <= st.HandCount[seat]; ++k) {
            const TCardFace c = st.Hands[seat][static_cast<std::size_t>(k)];
            if (!add(hand, c) || !add(cards, c))
                return "a card is held twice, or is no card (seat " + std::to_string(s) + ")";
        }
        for (std::size_t suit = 1; suit <= 4; ++suit)
            for (int k = 1; k <= st.Splits[seat].Counts[suit]; ++k)
                if (!add(split, st.Splits[seat].Lists[suit][static_cast<std::size_t>(k)]))
                    return "a split holds a card twice";
        if (hand != split)
            return "the hand and the split of seat " + std::to_string(s) + " disagree";
    }
    std::uint64_t played = 0, playedSplit = 0;
    for (const TTrickCard& c : game.plays()) {
        if (!add(played, {c.Suite, c.Number}) || !add(cards, {c.Suite, c.Number}))
            return "a played card is also held, or was played twice";
    }
    for (std::size_t suit = 1; suit <= 4; ++suit)
        for (int k = 1; k <= st.PlayedCards.Counts[suit]; ++k)
            if (!add(playedSplit, st.PlayedCards.Lists[suit][static_cast<std::size_t>(k)]))
                return "PlayedCards holds a card twice";
    if (played != playedSplit)
        return "PlayedCards and the cards played disagree";
    if (cards != (std::uint64_t{1} << 52) - 1)
        return "the 52 cards are not each in exactly one place";
    const int held = st.HandCount[1] + st.HandCount[2] + st.HandCount[3] + st.HandCount[4];
    if (st.CardsPlayed != 52 - held || st.CardsPlayed != static_cast<int>(game.plays().size()))
        return "CardsPlayed disagrees with the hands";
    const int won = st.TricksWon[1] + st.TricksWon[2] + st.TricksWon[3] + st.TricksWon[4];
    if (won != static_cast<int>(game.takers().size()))
        return "the tricks won do not add up";
    const int lying = game.phase() == Phase::TrickComplete ? 4 : st.CardsPlayed % 4;
    if (game.phase() != Phase::Bidding && !game.dealPassed() && won != (st.CardsPlayed - lying) / 4)
        return "the tricks taken do not match the cards played";
    for (int p = 1; p <= 4; ++p) {
        const bool filled = st.Trick[static_cast<std::size_t>(p)].Suite != 0;
        if (filled != (p <= lying))
            return "the trick on the table is wrong at position " + std::to_string(p);
    }
    return {};
}

// Plays random legal actions and checks the game after every one; returns the number done.
class RandomDriver {
public:
    RandomDriver(GameModel& game, std::uint32_t seed) : m_game(game), m_rng(seed) {}

    // One step: a random legal action, or the game's own next step. May start a new game.
    std::string step()
    {
        GameModel& g = m_game;
        const PerSeat<std::int32_t> scoresBefore = g.state().Scores;
        bool scoring = false;
        switch (g.phase()) {
        case Phase::NoDeal:
            if (!g.startDeal())
                return "startDeal refused before a deal";
            break;
        case Phase::Bidding: {
            const auto bids = g.legalBids(g.toAct());
            // Mostly the two lowest bids, so that deals pass now and then, scores climb and
            // games end; now and then any bid, high ones included.
            const std::size_t pick = pickIndex(m_rng() % 50 == 0 ? bids.size() : 2);
            if (!g.bid(bids[pick]))
                return "a legal bid was refused";
            break;
        }
        case Phase::Playing: {
            const auto cards = g.legalCards();
            if (cards.empty())
                return "the seat to play has no legal card";
            if (!g.play(cards[pickIndex(cards.size())]))
                return "a legal card was refused";
            break;
        }
        case Phase::TrickComplete:
            if (!g.takeTrick())
                return "takeTrick refused a complete trick";
            break;
        case Phase::DealOver:
            if (g.dealPassed() || g.dealScored()) {
                if (!g.startDeal())
                    return "startDeal refused after a deal";
            } else {
                scoring = true;
                if (!g.scoreDeal())
                    return "scoreDeal refused at the end of a deal";
            }
            break;
        case Phase::GameOver:
            g.newGame();
            ++gamesWon;
            return {};
        }
        // Now and then the player starts a new game in the middle of a deal.
        if (m_rng() % 40000 == 0) {
            g.newGame();
            return {};
        }
        if (!scoring && g.state().Scores != scoresBefore)
            return "the scores changed outside the scoring of a deal";
        return checkGame(g);
    }

    std::size_t pickIndex(std::size_t n) { return static_cast<std::size_t>(m_rng() % n); }

    int gamesWon = 0;

private:
    GameModel& m_game;
    std::mt19937 m_rng;
};

TEST(GameModel, AMillionRandomLegalActionsKeepEveryCardInOnePlace)
{
    long long actions = 0;
    int games = 0;
    for (std::uint32_t run = 1; actions < 1'000'000; ++run) {
        GameModel game(countingSeeds(run * 1000));
        RandomDriver driver(game, run);
        for (int i = 0; i < 100'000; ++i, ++actions) {
            const std::string problem = driver.step();
            ASSERT_EQ(problem, "") << "run " << run << ", action " << i << ", phase " << PhaseName(game.phase());
        }
        games += driver.gamesWon;
    }
    EXPECT_GT(games, 10); // the random games do reach their end
}

TEST(GameModel, ARestoredGameContinuesLikeTheOriginal)
{
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        // A constant clock: both games must deal the same cards from the saved deck and generator.
        GameModel original([] { return 77u; });
        RandomDriver warmup(original, seed);
        std::mt19937 where(seed);
        const int before = 50 + static_cast<int>(where() % 3000);
        for (int i = 0; i < before; ++i)
            ASSERT_EQ(warmup.step(), "");

        const std::string saved = original.save();
        GameModel restored([] { return 77u; });
        std::string error;
        ASSERT_TRUE(restored.load(saved, &error)) << error;
        EXPECT_EQ(restored.save(), saved);

        RandomDriver a(original, seed + 1000), b(restored, seed + 1000);
        for (int i = 0; i < 2000; ++i) {
            ASSERT_EQ(a.step(), "");
            ASSERT_EQ(b.step(), "");
        }
        EXPECT_EQ(restored.save(), original.save()) << "seed " << seed;
    }
}

TEST(GameModel, ASelfPlayedGameSurvivesSaveAndRestoreAtEveryAction)
{
    // The Classic players read the splits' order too: restoring must keep it exactly.
    GameModel game(countingSeeds(5));
    ClassicPlayer classic;
    for (int n = 0; n < 400; ++n) {
        GameModel copy(countingSeeds(5));
        ASSERT_TRUE(copy.load(game.save()));
        switch (game.phase()) {
        case Phase::NoDeal: game.startDeal(); break;
        case Phase::Bidding: {
            const int seat = game.toAct();
            EXPECT_EQ(classic.chooseBid(copy, seat), classic.chooseBid(game, seat));
            game.bid(classic.chooseBid(game, seat));
            break;
        }
        case Phase::Playing: {
            const int seat = game.toAct();
            EXPECT_EQ(classic.chooseCard(copy, seat), classic.chooseCard(game, seat));
            game.play(classic.chooseCard(game, seat));
            break;
        }
        case Phase::TrickComplete: game.takeTrick(); break;
        case Phase::DealOver:
            if (!game.scoreDeal())
                game.startDeal();
            break;
        case Phase::GameOver: game.newGame(); break;
        }
    }
}

TEST(GameModel, LowestBidFollowsTheScore)
{
    struct Case {
        std::int32_t score;
        std::int32_t lowest;
    };
    const Case cases[] = {{-5, 2}, {0, 2}, {29, 2}, {30, 3}, {39, 3}, {40, 4}, {55, 4}};
    for (const Case& c : cases) {
        GameModel game(countingSeeds());
        game.arrange().Scores[3] = c.score;
        const auto bids = game.legalBids(3);
        ASSERT_FALSE(bids.empty());
        EXPECT_EQ(bids.front(), c.lowest) << "score " << c.score;
        EXPECT_EQ(bids.back(), 26);
        EXPECT_FALSE(game.isLegalBid(3, c.lowest - 1));
        for (const std::int32_t notABid : {0, 1, 7, 8, 13, 15, 27, 28})
            EXPECT_FALSE(game.isLegalBid(3, notABid)) << notABid;
    }
}

TEST(GameModel, BidsUnderElevenPassAndElevenPlays)
{
    struct Case {
        std::array<std::int32_t, 4> bids; // seats 2, 3, 4, then the human
        bool passes;
    };
    const Case cases[] = {
        {{2, 3, 3, 2}, true},   // 10
        {{2, 3, 4, 2}, false},  // exactly 11
        {{14, 2, 2, 2}, false}, // 20: stored values count, not tricks
        {{2, 2, 2, 2}, true},
    };
    for (const Case& c : cases) {
        GameModel game(countingSeeds(3));
        ASSERT_TRUE(game.startDeal());
        EventLog log;
        game.addListener(&log);
        const std::int64_t dealerBefore = game.state().DealerCounter;
        bidAll(game, c.bids);
        if (c.passes) {
            EXPECT_EQ(game.phase(), Phase::DealOver);
            EXPECT_TRUE(game.dealPassed());
            EXPECT_FALSE(game.scoreDeal()); // a passed deal is never scored
            EXPECT_EQ(log.kinds.back(), GameEvent::Kind::Passed);
            ASSERT_TRUE(game.startDeal());
            EXPECT_EQ(game.state().DealerCounter, (dealerBefore + 1) % 4);
        } else {
            EXPECT_EQ(game.phase(), Phase::Playing);
            EXPECT_EQ(game.toAct(), FirstSeat(game.state().DealerCounter));
            EXPECT_EQ(log.kinds.back(), GameEvent::Kind::BidsPublic);
        }
        game.removeListener(&log);
    }
}

TEST(GameModel, PublicBidsByDealer)
{
    struct Case {
        int dealer;
        std::array<bool, 3> public234;
    };
    const Case cases[] = {
        {1, {true, true, true}},
        {2, {false, true, true}},
        {3, {false, false, true}},
        {4, {false, false, false}},
    };
    for (const Case& c : cases) {
        GameModel game(countingSeeds());
        game.arrange().DealerCounter = (c.dealer + 3) % 4;
        ASSERT_TRUE(game.startDeal());
        ASSERT_EQ(game.dealer(), c.dealer);
        for (int n = 0; n < 3; ++n)
            ASSERT_TRUE(game.bid(6));
        for (int seat = 2; seat <= 4; ++seat)
            EXPECT_EQ(game.bidPublic(seat), c.public234[static_cast<std::size_t>(seat - 2)])
                << "dealer " << c.dealer << ", seat " << seat;
        EXPECT_EQ(game.toAct(), 1);
        ASSERT_TRUE(game.bid(6));
        for (int seat = 1; seat <= 4; ++seat)
            EXPECT_TRUE(game.bidPublic(seat));
    }
}

TEST(GameModel, ActionsOutOfTurnAreRefusedAndChangeNothing)
{
    GameModel game(countingSeeds(9));
    EXPECT_FALSE(game.bid(2));
    EXPECT_FALSE(game.takeTrick());
    EXPECT_FALSE(game.scoreDeal());
    ASSERT_TRUE(game.startDeal());
    const std::string atBidding = game.save();
    EXPECT_FALSE(game.startDeal());
    EXPECT_FALSE(game.play(game.state().Hands[2][1]));
    EXPECT_FALSE(game.takeTrick());
    EXPECT_FALSE(game.bid(7));
    EXPECT_FALSE(game.initDeck());
    EXPECT_EQ(game.save(), atBidding);

    bidAll(game, {6, 6, 6, 6});
    const int seat = game.toAct();
    // A card of another seat, a card not in the game, and a card already played.
    const int other = NextSeat(seat);
    EXPECT_FALSE(game.play(game.state().Hands[static_cast<std::size_t>(other)][1]));
    EXPECT_FALSE(game.play({0, 0}));
    EXPECT_FALSE(game.play({5, 1}));
    const TCardFace first = game.legalCards().front();
    ASSERT_TRUE(game.play(first));
    const std::string afterOne = game.save();
    EXPECT_FALSE(game.play(first));
    EXPECT_FALSE(game.bid(6));
    EXPECT_EQ(game.save(), afterOne);
}

TEST(GameModel, FollowSuitWhenYouCanAnythingWhenYouCannot)
{
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        GameModel game(countingSeeds(seed));
        game.startDeal();
        bidAll(game, {6, 6, 6, 6});
        const TCardFace lead = game.legalCards().front();
        game.play(lead);
        const int seat = game.toAct();
        const TGameState& st = game.state();
        const TSuitSplit& split = st.Splits[static_cast<std::size_t>(seat)];
        const bool holdsLed = split.Counts[static_cast<std::size_t>(lead.Suite)] > 0;
        for (int k = 1; k <= st.HandCount[static_cast<std::size_t>(seat)]; ++k) {
            const TCardFace card = st.Hands[static_cast<std::size_t>(seat)][static_cast<std::size_t>(k)];
            EXPECT_EQ(game.isLegalCard(card), !holdsLed || card.Suite == lead.Suite);
        }
        if (!holdsLed)
            return; // both sides seen: a void seat may play anything
    }
    FAIL() << "no deal had a void second player";
}

TEST(GameModel, ADealRunsInTheDescribedOrderOfEvents)
{
    GameModel game(countingSeeds(21));
    EventLog log;
    game.addListener(&log);
    ClassicPlayer classic;
    ASSERT_TRUE(game.startDeal());
    while (game.phase() == Phase::Bidding)
        game.bid(std::max(classic.chooseBid(game, game.toAct()), 6)); // never passes
    int tricks = 0;
    while (game.phase() == Phase::Playing || game.phase() == Phase::TrickComplete) {
        if (game.phase() == Phase::TrickComplete) {
            const int taker = game.trickTaker();
            EXPECT_EQ(taker, TrickWinner(game.state().Trick, game.state().Trump).Seat);
            game.takeTrick();
            ++tricks;
            if (game.phase() == Phase::Playing) {
                EXPECT_EQ(game.toAct(), taker); // the taker leads
            }
            continue;
        }
        game.play(classic.chooseCard(game, game.toAct()));
    }
    EXPECT_EQ(tricks, 13);
    ASSERT_EQ(game.phase(), Phase::DealOver);
    EXPECT_FALSE(game.dealScored());
    ASSERT_TRUE(game.scoreDeal());
    EXPECT_FALSE(game.scoreDeal()); // once only
    EXPECT_EQ(game.scoreRows().size(), 1u);
    EXPECT_EQ(game.state().ScoreRow, 2);

    using K = GameEvent::Kind;
    std::vector<K> expected{K::DealStarted, K::BidMade, K::BidMade, K::BidMade, K::BidMade, K::BidsPublic};
    for (int t = 0; t < 13; ++t) {
        expected.insert(expected.end(), {K::CardPlayed, K::CardPlayed, K::CardPlayed, K::CardPlayed,
                                         K::TrickComplete, K::TrickTaken});
    }
    expected.push_back(K::DealScored);
    EXPECT_EQ(log.kinds, expected);
    game.removeListener(&log);
}

TEST(GameModel, NewGameKeepsTheDealerRotationAndClearsTheSheet)
{
    GameModel game(countingSeeds(4));
    game.startDeal();
    bidAll(game, {6, 6, 6, 6});
    game.play(game.legalCards().front());
    game.arrange().Scores = {0, 12, -4, 7, 3};
    const std::int32_t dealer = game.state().DealerCounter;
    game.newGame();
    EXPECT_EQ(game.phase(), Phase::NoDeal);
    EXPECT_EQ(game.state().Scores, (PerSeat<std::int32_t>{}));
    EXPECT_EQ(game.state().ScoreRow, 1);
    EXPECT_TRUE(game.scoreRows().empty());
    EXPECT_EQ(game.state().Trick[1].Suite, 0);
    ASSERT_TRUE(game.startDeal());
    EXPECT_EQ(game.state().DealerCounter, (dealer + 1) % 4);
}

TEST(GameModel, AnAbandonedDealIsThrownInUnscored)
{
    GameModel game(countingSeeds(6));
    game.startDeal();
    bidAll(game, {6, 6, 6, 6});
    game.play(game.legalCards().front());
    game.arrange().Scores = {0, 5, 6, 7, 8};
    const std::int32_t dealer = game.state().DealerCounter;
    game.abandonDeal();
    EXPECT_EQ(game.phase(), Phase::NoDeal);
    EXPECT_FALSE(game.scoreDeal());
    EXPECT_EQ(game.state().Scores, (PerSeat<std::int32_t>{0, 5, 6, 7, 8}));
    ASSERT_TRUE(game.startDeal());
    EXPECT_EQ(game.state().DealerCounter, (dealer + 1) % 4);
    EXPECT_EQ(checkGame(game), "");
}

TEST(GameModel, AWonGameWaitsForANewGame)
{
    GameModel game(countingSeeds(8));
    ClassicPlayer classic;
    for (int deals = 0; deals < 2000 && game.phase() != Phase::GameOver; ++deals) {
        ASSERT_TRUE(game.startDeal());
        while (game.phase() == Phase::Bidding)
            game.bid(classic.chooseBid(game, game.toAct()));
        while (game.phase() == Phase::Playing || game.phase() == Phase::TrickComplete) {
            if (!game.takeTrick())
                game.play(classic.chooseCard(game, game.toAct()));
        }
        game.scoreDeal();
    }
    ASSERT_EQ(game.phase(), Phase::GameOver);
    EXPECT_NE(game.state().GameWinner, 0);
    EXPECT_FALSE(game.startDeal());
    game.newGame();
    EXPECT_TRUE(game.startDeal());
}

// ---------------------------------------------------------------------------------------
// Damaged saves

std::string savedMidTrick()
{
    GameModel game(countingSeeds(13));
    game.startDeal();
    bidAll(game, {6, 6, 6, 6});
    for (int n = 0; n < 6; ++n) {
        if (game.phase() == Phase::TrickComplete)
            game.takeTrick();
        game.play(game.legalCards().back());
    }
    return game.save();
}

TEST(GameSave, TruncatedAtEveryLengthIsRefused)
{
    const std::string saved = savedMidTrick();
    GameModel game(countingSeeds());
    const std::string fresh = game.save();
    for (std::size_t n = 0; n < saved.size() - 2; ++n) {
        std::string error;
        EXPECT_FALSE(game.load(saved.substr(0, n), &error)) << "length " << n;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_EQ(game.save(), fresh); // nothing of a refused file was taken
}

TEST(GameSave, FlippedBytesAreRefusedOrMakeAConsistentGame)
{
    const std::string saved = savedMidTrick();
    std::mt19937 rng(99);
    int refused = 0;
    for (int n = 0; n < 4000; ++n) {
        std::string damaged = saved;
        const int flips = 1 + static_cast<int>(rng() % 3);
        for (int f = 0; f < flips; ++f)
            damaged[rng() % damaged.size()] ^= static_cast<char>(1u << (rng() % 8));
        GameModel game(countingSeeds());
        if (!game.load(damaged)) {
            ++refused;
            continue;
        }
        // A flip that still reads (whitespace, an equal number) must give a sound game.
        EXPECT_EQ(checkGame(game), "") << damaged;
    }
    EXPECT_GT(refused, 3000);
}

TEST(GameSave, InconsistentGamesAreRefusedWithAReason)
{
    const std::string saved = savedMidTrick();
    struct Case {
        const char* what;
        std::string from, to;
        const char* reason;
    };
    const auto firstCardOfSeat1 = [&] {
        const auto at = saved.find("\"hands\"");
        const auto open = saved.find('[', saved.find('[', saved.find('[', at) + 1) + 1);
        return saved.substr(open, saved.find(']', open) - open + 1);
    }();
    const Case cases[] = {
        {"a newer version", "\"version\": 1", "\"version\": 2", "newer version"},
        {"not a saved game", "\"halbeet-game\"", "\"other\"", "not a saved game"},
        {"an unknown phase", "\"phase\": \"playing\"", "\"phase\": \"dancing\"", "phase"},
        {"a card out of range", "\"trump\": ", "\"trump\": 9, \"x\": ", "trump"},
        {"negative cards played", "\"cardsPlayed\": 6", "\"cardsPlayed\": -6", "cards played"},
        {"cards played that disagree", "\"cardsPlayed\": 6", "\"cardsPlayed\": 7", "cards played"},
        {"a trick position off", "\"trickPos\": 3", "\"trickPos\": 2", "trick"},
        {"the sheet out of step", "\"scoreRow\": 1", "\"scoreRow\": 2", "score sheet"},
    };
    for (const Case& c : cases) {
        std::string damaged = saved;
        const auto at = damaged.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        damaged.replace(at, c.from.size(), c.to);
        GameModel game(countingSeeds());
        std::string error;
        EXPECT_FALSE(game.load(damaged, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }

    // A card duplicated: the first card of the human's hand replaces the first of seat 2's.
    std::string duplicated = saved;
    const auto hands = duplicated.find("\"hands\"");
    const auto seat2 = duplicated.find("],\n  [", hands); // the end of seat 1's list
    ASSERT_NE(seat2, std::string::npos);
    const auto cardAt = duplicated.find('[', seat2 + 2) + 1;
    const auto cardStart = duplicated.find('[', cardAt);
    const auto cardEnd = duplicated.find(']', cardStart);
    duplicated.replace(cardStart, cardEnd - cardStart + 1, firstCardOfSeat1);
    GameModel game(countingSeeds());
    std::string error;
    EXPECT_FALSE(game.load(duplicated, &error));
    EXPECT_FALSE(error.empty());
}

TEST(GameSave, EveryPhaseRoundTrips)
{
    for (const BidOrder order : {BidOrder::Described, BidOrder::TurnOrder}) {
        GameModel game(countingSeeds(31));
        game.setBidOrder(order);
        std::set<Phase> seen;
        RandomDriver driver(game, 31);
        for (int i = 0; i < 20000 && seen.size() < 6; ++i) {
            seen.insert(game.phase());
            GameModel copy(countingSeeds());
            std::string error;
            ASSERT_TRUE(copy.load(game.save(), &error)) << PhaseName(game.phase()) << ": " << error;
            ASSERT_EQ(copy.save(), game.save());
            ASSERT_EQ(copy.phase(), game.phase());
            ASSERT_EQ(copy.toAct(), game.toAct()) << BidOrderName(order);
            ASSERT_EQ(driver.step(), "");
        }
        EXPECT_EQ(seen.size(), 6u);
    }
}

TEST(SelfPlayOnTheModel, PlayersCanBeChangedPerSeat)
{
    // A player that always plays the lowest legal card: the model keeps it honest.
    struct Lowest final : Player {
        std::int32_t chooseBid(const GameModel& game, int seat) override { return game.legalBids(seat).front(); }
        TCardFace chooseCard(const GameModel& game, int) override { return game.legalCards().front(); }
    } lowest;
    SelfPlay play(countingSeeds(2));
    play.setPlayer(1, &lowest);
    play.setPlayer(3, &lowest);
    int played = 0;
    for (int d = 0; d < 200; ++d) {
        const DealOutcome outcome = play.playDeal();
        ASSERT_NE(outcome, DealOutcome::Stopped);
        played += outcome == DealOutcome::Played;
    }
    EXPECT_GT(played, 0);
}

} // namespace
} // namespace halbeet

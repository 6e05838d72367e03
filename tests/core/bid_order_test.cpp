// SPDX-License-Identifier: GPL-3.0-or-later
// The two orders of bidding: who is asked when, which bids each seat may see at every moment,
// that the deal is settled the same way in both, and that a saved game keeps its order.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "core/game.h"
#include "core/player.h"
#include "core/seat_view.h"

namespace halbeet {
namespace {

SeedSource countingSeeds(std::uint32_t start = 1)
{
    return [next = start]() mutable { return next++; };
}

// A game whose next deal is dealt by dealer (1..4), in the given order, dealt and not bid yet.
GameModel dealtBy(int dealer, BidOrder order, std::uint32_t seed = 1)
{
    GameModel game(countingSeeds(seed));
    EXPECT_TRUE(game.setBidOrder(order));
    game.arrange().DealerCounter = (dealer + 3) % 4; // the deal moves it on by one
    EXPECT_TRUE(game.startDeal());
    EXPECT_EQ(game.dealer(), dealer);
    return game;
}

// A different legal bid for every seat, so that a bid shown to the wrong seat is seen.
constexpr PerSeat<std::int32_t> kSeatBids{0, 3, 4, 5, 6};

TEST(BidOrder, TheSeatsAreAskedInTheirOrder)
{
    struct Case {
        BidOrder order;
        int dealer;
        std::array<int, 4> asked;
    };
    const Case cases[] = {
        {BidOrder::TurnOrder, 1, {2, 3, 4, 1}},
        {BidOrder::TurnOrder, 2, {3, 4, 1, 2}},
        {BidOrder::TurnOrder, 3, {4, 1, 2, 3}},
        {BidOrder::TurnOrder, 4, {1, 2, 3, 4}},
        // The single-player game: the computers as the deal is laid out, then the person.
        {BidOrder::Described, 1, {2, 3, 4, 1}},
        {BidOrder::Described, 2, {2, 3, 4, 1}},
        {BidOrder::Described, 3, {2, 3, 4, 1}},
        {BidOrder::Described, 4, {2, 3, 4, 1}},
    };
    for (const Case& c : cases) {
        GameModel game = dealtBy(c.dealer, c.order);
        EXPECT_EQ(game.biddingSeats(), c.asked) << BidOrderName(c.order) << ", dealer " << c.dealer;
        for (const int seat : c.asked) {
            ASSERT_EQ(game.phase(), Phase::Bidding);
            EXPECT_EQ(game.toAct(), seat) << BidOrderName(c.order) << ", dealer " << c.dealer;
            EXPECT_FALSE(game.legalBids(seat).empty());
            ASSERT_TRUE(game.bid(kSeatBids[static_cast<std::size_t>(seat)]));
        }
        EXPECT_EQ(game.phase(), Phase::Playing);
        for (int seat = 1; seat <= 4; ++seat)
            EXPECT_EQ(game.state().Bids[static_cast<std::size_t>(seat)], kSeatBids[static_cast<std::size_t>(seat)]);
    }
}

// In turn order the k-th bidder (0-based) sees, while the bidding goes on, the bids of the
// bidders before it and its own once given; nothing of a later bidder, ever, until the last
// bid is in and every seat sees all four.
TEST(BidOrder, InTurnOrderEachSeatSeesTheBidsBeforeItsOwnAndAllAfterTheLast)
{
    for (int dealer = 1; dealer <= 4; ++dealer) {
        GameModel game = dealtBy(dealer, BidOrder::TurnOrder);
        const std::array<int, 4> order = game.biddingSeats();
        const auto place = [&order](int seat) {
            return static_cast<int>(std::find(order.begin(), order.end(), seat) - order.begin());
        };
        for (int made = 0; made <= 4; ++made) {
            for (int viewer = 1; viewer <= 4; ++viewer) {
                const SeatView view = ViewOf(game, viewer);
                for (int seat = 1; seat <= 4; ++seat) {
                    const bool seen = made == 4 || (place(seat) < made && place(seat) <= place(viewer));
                    EXPECT_EQ(view.Bids[static_cast<std::size_t>(seat)],
                              seen ? kSeatBids[static_cast<std::size_t>(seat)] : 0)
                        << "dealer " << dealer << ", " << made << " bids made, seat " << viewer
                        << " looking at seat " << seat;
                    EXPECT_EQ(game.bidSeenBy(viewer, seat), seen);
                    if (viewer == 1) {
                        EXPECT_EQ(game.bidPublic(seat), seen);
                    }
                }
            }
            if (made < 4) {
                const int bidder = order[static_cast<std::size_t>(made)];
                ASSERT_TRUE(game.bid(kSeatBids[static_cast<std::size_t>(bidder)]));
            }
        }
    }
}

// The single-player order takes the computers' bids before the person's, whatever the turn:
// a computer that bids early in the program's order must still not see a bid that comes
// after its own turn, nor make its own bid visible to a seat before it.
TEST(BidOrder, InTheDescribedOrderABidGivenEarlyStaysHiddenFromTheSeatsBeforeIt)
{
    struct Case {
        int dealer;
        int made;   // bids given so far, in the order 2, 3, 4, 1
        int viewer;
        PerSeat<bool> seen;
    };
    const Case cases[] = {
        // Seat 3 deals: the turn goes 4, 1, 2, 3, but seat 2 has bid first.
        {3, 1, 2, {false, false, true, false, false}},  // its own bid only
        {3, 1, 4, {false, false, false, false, false}}, // seat 4 bids first in turn: sees nothing
        {3, 2, 3, {false, false, true, true, false}},   // seat 3 comes after 2 in turn
        {3, 3, 1, {false, false, false, false, true}},  // the person sees seat 4, who is before him
        // Seat 2 deals: turn 3, 4, 1, 2.
        {2, 3, 3, {false, false, false, true, false}},
        {2, 3, 4, {false, false, false, true, true}},
        {2, 3, 1, {false, false, false, true, true}},
        // The person deals: the turn is the program's order, everyone sees those before him.
        {1, 3, 4, {false, false, true, true, true}},
        {1, 3, 1, {false, false, true, true, true}},
    };
    for (const Case& c : cases) {
        GameModel game = dealtBy(c.dealer, BidOrder::Described);
        for (int n = 0; n < c.made; ++n)
            ASSERT_TRUE(game.bid(kSeatBids[static_cast<std::size_t>(game.toAct())]));
        const SeatView view = ViewOf(game, c.viewer);
        for (int seat = 1; seat <= 4; ++seat) {
            const auto s = static_cast<std::size_t>(seat);
            EXPECT_EQ(view.Bids[s], c.seen[s] ? kSeatBids[s] : 0)
                << "dealer " << c.dealer << ", " << c.made << " made, seat " << c.viewer << " looking at " << seat;
        }
    }
}

TEST(BidOrder, EitherOrderPassesOrPlaysByTheSameRule)
{
    struct Case {
        PerSeat<std::int32_t> bids;
        bool passes;
    };
    const Case cases[] = {
        {{0, 2, 2, 3, 3}, true},   // 10
        {{0, 2, 2, 3, 4}, false},  // 11 exactly
        {{0, 2, 2, 2, 4}, true},   // 10 again, the large bid elsewhere
        {{0, 14, 2, 2, 2}, false}, // a doubled bid counts as stored
        {{0, 2, 2, 2, 2}, true},
    };
    for (const BidOrder order : {BidOrder::Described, BidOrder::TurnOrder}) {
        for (int dealer = 1; dealer <= 4; ++dealer) {
            for (const Case& c : cases) {
                GameModel game = dealtBy(dealer, order);
                const std::int32_t counter = game.state().DealerCounter;
                while (game.phase() == Phase::Bidding)
                    ASSERT_TRUE(game.bid(c.bids[static_cast<std::size_t>(game.toAct())]));
                const std::string where = std::string(BidOrderName(order)) + ", dealer " + std::to_string(dealer);
                EXPECT_EQ(game.dealPassed(), c.passes) << where;
                if (c.passes) {
                    EXPECT_EQ(game.phase(), Phase::DealOver) << where;
                    ASSERT_TRUE(game.startDeal());
                    EXPECT_EQ(game.state().DealerCounter, (counter + 1) % 4) << where;
                } else {
                    EXPECT_EQ(game.phase(), Phase::Playing) << where;
                    // The seat after the dealer leads, whoever bid first.
                    EXPECT_EQ(game.toAct(), dealer % 4 + 1) << where;
                    EXPECT_EQ(game.leader(), dealer % 4 + 1) << where;
                }
            }
        }
    }
}

// Only the order of asking differs: the Classic players, whose bids depend on their own cards
// alone, play the same games card for card and score them the same in either order.
TEST(BidOrder, WholeGamesAreTheSameInEitherOrder)
{
    struct Record final : GameListener {
        std::vector<GameEvent> events;
        void gameEvent(const GameModel&, const GameEvent& event) override
        {
            // BidMade comes in the order of asking; everything after it must agree.
            if (event.kind != GameEvent::Kind::BidMade)
                events.push_back(event);
        }
    };
    const auto run = [](BidOrder order, Record& record) {
        GameModel game(countingSeeds(40));
        game.setBidOrder(order);
        game.addListener(&record);
        ClassicPlayer classic;
        int won = 0;
        while (won < 2) {
            switch (game.phase()) {
            case Phase::NoDeal: game.startDeal(); break;
            case Phase::Bidding: game.bid(classic.chooseBid(game, game.toAct())); break;
            case Phase::Playing: game.play(classic.chooseCard(game, game.toAct())); break;
            case Phase::TrickComplete: game.takeTrick(); break;
            case Phase::DealOver:
                if (!game.scoreDeal())
                    game.startDeal();
                break;
            case Phase::GameOver:
                ++won;
                game.newGame();
                EXPECT_EQ(game.bidOrder(), order); // New Game keeps the table's order
                break;
            }
        }
        game.removeListener(&record);
        return game.save();
    };
    Record described, turn;
    const std::string savedDescribed = run(BidOrder::Described, described);
    const std::string savedTurn = run(BidOrder::TurnOrder, turn);
    ASSERT_EQ(described.events.size(), turn.events.size());
    for (std::size_t i = 0; i < described.events.size(); ++i) {
        const GameEvent& a = described.events[i];
        const GameEvent& b = turn.events[i];
        ASSERT_TRUE(a.kind == b.kind && a.seat == b.seat && a.card == b.card && a.value == b.value)
            << "event " << i << " differs";
    }
    EXPECT_NE(savedDescribed.find("\"bidOrder\": \"described\""), std::string::npos);
    EXPECT_NE(savedTurn.find("\"bidOrder\": \"turn-order\""), std::string::npos);
}

// The Classic seat decides from the whole game, where the bids of later seats lie in turn
// order. Its bid must come from its own cards, trump and score alone: whatever the others
// hold as bids, it bids the same.
TEST(BidOrder, TheClassicBidReadsNoOtherBid)
{
    ClassicPlayer classic;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        GameModel game = dealtBy(static_cast<int>(seed % 4) + 1, BidOrder::TurnOrder, seed);
        while (game.phase() == Phase::Bidding) {
            const int seat = game.toAct();
            const std::int32_t bid = classic.chooseBid(game, seat);
            const PerSeat<std::int32_t> held = game.state().Bids;
            for (const std::int32_t other : {2, 26}) {
                for (std::size_t s = 1; s <= 4; ++s) {
                    if (static_cast<int>(s) != seat)
                        game.arrange().Bids[s] = other;
                }
                EXPECT_EQ(classic.chooseBid(game, seat), bid) << "seed " << seed << ", seat " << seat;
            }
            game.arrange().Bids = held;
            ASSERT_TRUE(game.bid(bid));
        }
    }
}

TEST(BidOrder, TheOrderCannotChangeOnceABidIsMade)
{
    GameModel game = dealtBy(3, BidOrder::Described);
    EXPECT_EQ(game.toAct(), 2);
    // Before any bid the deal simply starts with the other order's first seat.
    ASSERT_TRUE(game.setBidOrder(BidOrder::TurnOrder));
    EXPECT_EQ(game.toAct(), 4);
    ASSERT_TRUE(game.bid(4));
    const std::string saved = game.save();
    EXPECT_FALSE(game.setBidOrder(BidOrder::Described));
    EXPECT_EQ(game.bidOrder(), BidOrder::TurnOrder);
    EXPECT_EQ(game.toAct(), 1);
    EXPECT_EQ(game.save(), saved);
    EXPECT_TRUE(game.setBidOrder(BidOrder::TurnOrder)); // no change is no harm

    // Between deals it may change again.
    while (game.phase() == Phase::Bidding)
        ASSERT_TRUE(game.bid(2));
    ASSERT_TRUE(game.dealPassed());
    EXPECT_TRUE(game.setBidOrder(BidOrder::Described));
    ASSERT_TRUE(game.startDeal());
    EXPECT_EQ(game.toAct(), 2);
}

// Removes a field, given by its key, from a saved game (one per line).
std::string withoutField(std::string saved, const std::string& key)
{
    const auto at = saved.find("\"" + key + "\"");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos)
        return saved;
    const auto lineStart = saved.rfind('\n', at) + 1;
    saved.erase(lineStart, saved.find('\n', at) + 1 - lineStart);
    return saved;
}

std::string replaced(std::string saved, const std::string& from, const std::string& to)
{
    const auto at = saved.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        saved.replace(at, from.size(), to);
    return saved;
}

TEST(BidOrderSave, ASavedTableResumesInItsOrder)
{
    for (int dealer = 1; dealer <= 4; ++dealer) {
        GameModel game = dealtBy(dealer, BidOrder::TurnOrder, 7);
        ASSERT_TRUE(game.bid(4));
        ASSERT_TRUE(game.bid(4));
        GameModel restored(countingSeeds(99));
        std::string error;
        ASSERT_TRUE(restored.load(game.save(), &error)) << error;
        EXPECT_EQ(restored.bidOrder(), BidOrder::TurnOrder);
        EXPECT_EQ(restored.save(), game.save());
        // The third and fourth seats in turn are asked next, and see what they saw before.
        const std::array<int, 4> order = game.biddingSeats();
        for (std::size_t k = 2; k < 4; ++k) {
            EXPECT_EQ(restored.toAct(), order[k]) << "dealer " << dealer;
            EXPECT_EQ(ViewOf(restored, order[k]), ViewOf(game, order[k]));
            ASSERT_TRUE(restored.bid(5));
            ASSERT_TRUE(game.bid(5));
        }
        EXPECT_EQ(restored.save(), game.save());
    }
}

TEST(BidOrderSave, ASaveWithoutTheOrderReadsAsDescribed)
{
    // A game saved before the order was kept: mid-bidding, seats 2 and 3 have bid.
    GameModel game = dealtBy(2, BidOrder::Described, 5);
    ASSERT_TRUE(game.bid(3));
    ASSERT_TRUE(game.bid(4));
    const std::string old = withoutField(game.save(), "bidOrder");
    ASSERT_EQ(old.find("bidOrder"), std::string::npos);
    GameModel restored(countingSeeds(1));
    restored.setBidOrder(BidOrder::TurnOrder); // whatever the model held before
    std::string error;
    ASSERT_TRUE(restored.load(old, &error)) << error;
    EXPECT_EQ(restored.bidOrder(), BidOrder::Described);
    EXPECT_EQ(restored.toAct(), 4);
    EXPECT_EQ(restored.save(), game.save());
}

// The same save with other bids made: both lists as the save writes them, seats 1 to 4.
std::string withBids(const std::string& saved, const std::string& made, const std::string& bids)
{
    const std::string marked = replaced(saved, "\"bidMade\": [\n  true,\n  false,\n  false,\n  true",
                                        "\"bidMade\": [\n  " + made);
    return replaced(marked, "\"bids\": [\n  4,\n  0,\n  0,\n  3", "\"bids\": [\n  " + bids);
}

TEST(BidOrderSave, AnOrderThatDoesNotFitIsRefused)
{
    // Seat 3 deals in turn order: seats 4 and 1 have bid, 2 and 3 have not.
    GameModel game = dealtBy(3, BidOrder::TurnOrder, 5);
    ASSERT_TRUE(game.bid(3));
    ASSERT_TRUE(game.bid(4));
    const std::string saved = game.save();
    struct Case {
        const char* what;
        std::string text;
        const char* reason;
    };
    const Case cases[] = {
        {"an unknown order", replaced(saved, "\"turn-order\"", "\"clockwise\""), "bidding order"},
        {"an order that is no text", replaced(saved, "\"turn-order\"", "2"), "bidding order"},
        // Read as the described order, seat 2 would have to have bid first.
        {"the order lost", withoutField(saved, "bidOrder"), "bids"},
        {"the order changed", replaced(saved, "\"turn-order\"", "\"described\""), "bids"},
        // A later seat marked as bid while an earlier one has not, and all four while the
        // bidding is still open: either way no seat would be the one to bid next.
        {"a gap in the bids", withBids(saved, "true,\n  false,\n  true,\n  true", "4,\n  0,\n  5,\n  3"), "bids"},
        {"all four bid", withBids(saved, "true,\n  true,\n  true,\n  true", "4,\n  5,\n  5,\n  3"), "bids"},
    };
    for (const Case& c : cases) {
        GameModel other(countingSeeds(1));
        const std::string fresh = other.save();
        std::string error;
        EXPECT_FALSE(other.load(c.text, &error)) << c.what;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(other.save() == fresh) << c.what << ": something of a refused save was taken";
    }
}

} // namespace
} // namespace halbeet

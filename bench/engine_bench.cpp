// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the engine: whole deals as the program plays them, and the deal on its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "core/bidding.h"
#include "core/cards.h"
#include "core/deck.h"
#include "core/game.h"
#include "core/player.h"
#include "core/random.h"
#include "core/selfplay.h"

namespace {

using namespace halbeet;

// Deal, four bids, 52 cards and the scoring (or the pass), with the deck carried over from
// deal to deal as in a real run.
void BM_WholeDeal(benchmark::State& state)
{
    SelfPlay play([next = std::uint32_t{1}]() mutable { return next++; });
    std::int64_t played = 0;
    for (auto _ : state) {
        const DealOutcome outcome = play.playDeal();
        played += outcome == DealOutcome::Played ? 1 : 0;
        benchmark::DoNotOptimize(play.state().Scores);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["played"] = benchmark::Counter(static_cast<double>(played) /
                                                  static_cast<double>(state.iterations()));
}
BENCHMARK(BM_WholeDeal);

// The five shuffle-and-deal runs of one deal.
void BM_DealCycle(benchmark::State& state)
{
    TDeck deck;
    InitDeck(deck);
    THand hands[5]{};
    std::int32_t trump = 0, dealer = 0;
    TCardFace cut;
    TRandom random([next = std::uint32_t{1}]() mutable { return next++; });
    for (auto _ : state) {
        for (int run = 1; run <= 5; ++run) {
            if (run == 5)
                random.Reseed();
            ShuffleAndDeal(deck, trump, hands[1], hands[2], hands[3], hands[4], dealer, cut, random);
        }
        benchmark::DoNotOptimize(hands);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DealCycle);

void BM_ComputerBid(benchmark::State& state)
{
    TDeck deck;
    InitDeck(deck);
    THand hands[5]{};
    std::int32_t trump = 0, dealer = 0;
    TCardFace cut;
    TRandom random([next = std::uint32_t{1}]() mutable { return next++; });
    ShuffleAndDeal(deck, trump, hands[1], hands[2], hands[3], hands[4], dealer, cut, random);
    std::int32_t bid = 0;
    for (auto _ : state) {
        for (int seat = 1; seat <= 4; ++seat) {
            ComputerBid(hands[seat], trump, bid, 0);
            benchmark::DoNotOptimize(bid);
        }
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_ComputerBid);

// A game in the middle of a deal, as the program saves it when the player quits.
GameModel gameInMidDeal()
{
    GameModel game([next = std::uint32_t{1}]() mutable { return next++; });
    ClassicPlayer classic;
    game.startDeal();
    while (game.phase() == Phase::Bidding)
        game.bid(std::max(classic.chooseBid(game, game.toAct()), 6));
    for (int n = 0; n < 22; ++n) {
        if (game.phase() == Phase::TrickComplete)
            game.takeTrick();
        game.play(classic.chooseCard(game, game.toAct()));
    }
    return game;
}

void BM_SaveGame(benchmark::State& state)
{
    const GameModel game = gameInMidDeal();
    for (auto _ : state) {
        std::string text = game.save();
        benchmark::DoNotOptimize(text);
    }
    state.counters["bytes"] = static_cast<double>(game.save().size());
}
BENCHMARK(BM_SaveGame);

void BM_RestoreGame(benchmark::State& state)
{
    const std::string text = gameInMidDeal().save();
    GameModel game([] { return 1u; });
    for (auto _ : state) {
        const bool ok = game.load(text);
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_RestoreGame);

} // namespace

// Throughput of the engine: whole deals as the program plays them, and the deal on its own.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/bidding.h"
#include "core/cards.h"
#include "core/deck.h"
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

} // namespace

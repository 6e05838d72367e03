// SPDX-License-Identifier: GPL-3.0-or-later
// Decision time of the Expert, in one thread's CPU time: card choices over whole deals, and bids.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/expert/expert.h"
#include "core/expert/expert_player.h"
#include "core/game.h"
#include "core/player.h"
#include "core/seat_view.h"

namespace {

using namespace halbeet;

struct Positions {
    std::vector<SeatView> cards; // the seat to play, at every card of every deal
    std::vector<SeatView> bids;  // each seat at its turn to bid
};

// Deals played by the fixed rules through the game model, seen from the seat to play at every
// card and from each seat at its turn to bid.
const Positions& Collect()
{
    static const Positions positions = [] {
        Positions out;
        GameModel game([next = std::uint32_t{2024}]() mutable { return next++; });
        ClassicPlayer classic;
        for (int deal = 0; deal < 80; ++deal) {
            game.newGame();
            for (int s = 1; s <= 4; ++s)
                game.arrange().Scores[s] = (deal * 7 + s * 11) % 45 - 5; // a spread of game situations
            game.startDeal();
            while (game.phase() == Phase::Bidding) {
                const int seat = game.toAct();
                out.bids.push_back(ViewOf(game, seat));
                // Never below 6 for the human's seat, so that every deal is played.
                const std::int32_t bid = classic.chooseBid(game, seat);
                game.bid(seat == 1 ? std::max(bid, 6) : bid);
            }
            while (game.phase() == Phase::Playing || game.phase() == Phase::TrickComplete) {
                if (game.takeTrick())
                    continue;
                const int seat = game.toAct();
                out.cards.push_back(ViewOf(game, seat));
                game.play(classic.chooseCard(game, seat));
            }
        }
        return out;
    }();
    return positions;
}

void Report(benchmark::State& state, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["max_ms"] = ms.back();
}

// The thread's own CPU time: one core's work, whatever else the machine is doing.
double ThreadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

template <typename Decide>
void Time(benchmark::State& state, const std::vector<SeatView>& views, Decide decide)
{
    std::vector<double> ms;
    ms.reserve(views.size());
    std::size_t i = 0;
    for (auto _ : state) {
        const double t0 = ThreadMs();
        decide(views[i % views.size()], i);
        ms.push_back(ThreadMs() - t0);
        ++i;
    }
    Report(state, std::move(ms));
}

// One decision per iteration, every position in turn, so the counters are the distribution of
// single decisions over the whole range of a deal.
void BM_ExpertCard(benchmark::State& state)
{
    Time(state, Collect().cards, [](const SeatView& v, std::size_t i) {
        benchmark::DoNotOptimize(ExpertChooseCard(v, i));
    });
}
BENCHMARK(BM_ExpertCard)->Iterations(4160)->Unit(benchmark::kMillisecond);

void BM_ExpertBid(benchmark::State& state)
{
    Time(state, Collect().bids,
         [](const SeatView& v, std::size_t i) { benchmark::DoNotOptimize(ExpertChooseBid(v, i)); });
}
BENCHMARK(BM_ExpertBid)->Iterations(320)->Unit(benchmark::kMillisecond);

} // namespace

// SPDX-License-Identifier: GPL-3.0-or-later
// Decision time of the Expert, in one thread's CPU time: card choices over whole deals, and bids.

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/analysis.h"
#include "core/bidding.h"
#include "core/computer_play.h"
#include "core/deal_cycle.h"
#include "core/expert.h"
#include "core/seat_view.h"

namespace {

using namespace halbeet;

struct Positions {
    std::vector<SeatView> cards; // the seat to play, at every card of every deal
    std::vector<SeatView> bids;  // each seat at its turn to bid
};

// Deals played by the fixed rules, seen from the seat to play at every card.
const Positions& Collect()
{
    static const Positions positions = [] {
        Positions out;
        TGameState st;
        InitDeck(st.Deck);
        TRandom random([next = std::uint32_t{2024}]() mutable { return next++; });
        for (int deal = 0; deal < 80; ++deal) {
            DealNewDeal(st, random);
            st.TricksWon = {};
            for (int s = 1; s <= 4; ++s) {
                ComputerBid(st.Hands[s], st.Trump, st.Bids[s], st.Scores[s]);
                st.Scores[s] = (deal * 7 + s * 11) % 45 - 5; // a spread of game situations
            }
            for (int s = 1; s <= 4; ++s)
                out.bids.push_back(MakeSeatView(st, s, {}, BidsSeenBefore(s, st.DealerCounter)));
            std::vector<TTrickCard> plays;
            int seat = FirstSeat(st.DealerCounter);
            for (int n = 0; n < 52; ++n) {
                out.cards.push_back(MakeSeatView(st, seat, plays, kAllBidsPublic));
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

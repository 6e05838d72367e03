// Temporary tuning driver (not installed): whole games with Classic and Expert seats mixed,
// until the game model lets the simulator do it.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/analysis.h"
#include "core/bidding.h"
#include "core/computer_play.h"
#include "core/deal_cycle.h"
#include "core/expert.h"
#include "core/scoring.h"
#include "core/seat_view.h"
#include "core/suits.h"

using namespace halbeet;

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::atoi(argv[1]) : 200;
    const std::string players = argc > 2 ? argv[2] : "ecec";
    const std::uint32_t seed = argc > 3 ? static_cast<std::uint32_t>(std::atoll(argv[3])) : 1;
    PerSeat<bool> expertSeat{};
    for (int s = 1; s <= 4; ++s)
        expertSeat[s] = players[static_cast<std::size_t>(s - 1)] != 'c';
    PerSeat<ExpertBudget> budget{};
    for (int s = 1; s <= 4; ++s) {
        if (players[static_cast<std::size_t>(s - 1)] == 'E') {
            budget[s].maxSamples *= 3;
            budget[s].playSteps *= 3;
            budget[s].bidSamples *= 3;
        }
    }

    TGameState st;
    InitDeck(st.Deck);
    TRandom random([next = seed]() mutable { return next++; });
    std::vector<double> times;
    std::vector<double> bidTimes;
    std::array<int, 3> sideWins{};
    std::int64_t deals = 0, played = 0;
    PerSeat<std::int64_t> made{}, bidsTotal{}, scoreSum{};
    int game = 0;
    std::uint64_t decision = 0;
    while (game < games) {
        DealNewDeal(st, random);
        st.TricksWon = {};
        ++deals;
        for (const int seat : {2, 3, 4, 1})
            if (!expertSeat[seat])
                ComputerBid(st.Hands[seat], st.Trump, st.Bids[seat], st.Scores[seat]);
        for (int k = 0, seat = FirstSeat(st.DealerCounter); k < 4; ++k, seat = NextSeat(seat)) {
            if (!expertSeat[seat])
                continue;
            const SeatView v = MakeSeatView(st, seat, {}, BidsSeenBefore(seat, st.DealerCounter));
            const auto t0 = std::chrono::steady_clock::now();
            st.Bids[seat] = ExpertChooseBid(v, seed * 1000003ULL + ++decision, budget[seat]).bid;
            bidTimes.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        SortHumanHand(st.Hands[1]);
        if (st.Bids[1] + st.Bids[2] + st.Bids[3] + st.Bids[4] < 11)
            continue;
        ++played;
        std::vector<TTrickCard> plays;
        int leader = FirstSeat(st.DealerCounter);
        for (int trick = 1; trick <= 13; ++trick) {
            int seat = leader;
            for (int n = 0; n < 4; ++n, seat = NextSeat(seat)) {
                TCardFace card;
                if (expertSeat[seat]) {
                    const SeatView v = MakeSeatView(st, seat, plays, kAllBidsPublic);
                    const auto t0 = std::chrono::steady_clock::now();
                    card = ExpertChooseCard(v, seed * 1000003ULL + ++decision, budget[seat]).card;
                    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
                    if (!IsHeldCard(st, seat, card)) {
                        std::fprintf(stderr, "illegal expert card\n");
                        return 1;
                    }
                } else {
                    card = ChooseComputerCard(st, ProfileOf(seat));
                }
                CommitCard(st, seat, card);
                plays.push_back(TTrickCard{card.Suite, card.Number, seat});
            }
            const TTrickCard winner = TrickWinner(st.Trick, st.Trump);
            st.Trick.fill(TTrickCard{});
            st.TrickPos = 1;
            ++st.TricksWon[winner.Seat];
            leader = winner.Seat;
        }
        const auto before = st.Scores;
        for (int s = 1; s <= 4; ++s) {
            const int need = st.Bids[s] >= 14 ? st.Bids[s] / 2 : st.Bids[s];
            made[s] += st.TricksWon[s] >= need;
            bidsTotal[s] += 1;
        }
        ScoreDeal(st.Scores, st.Bids, st.TricksWon);
        for (int s = 1; s <= 4; ++s)
            scoreSum[s] += st.Scores[s] - before[s];
        const std::int32_t w = FindGameWinner(st.Scores);
        if (w != 0) {
            ++sideWins[w % 2 == 1 ? 1 : 2];
            ++game;
            st.Scores = {};
        }
    }
    const double p = static_cast<double>(sideWins[1]) / games;
    const double half = 1.96 * std::sqrt(p * (1 - p) / games);
    std::printf("players %s games %d: side 1+3 won %d (%.1f%% +- %.1f), side 2+4 %d; deals %lld played %lld\n",
                players.c_str(), games, sideWins[1], 100 * p, 100 * half, sideWins[2],
                static_cast<long long>(deals), static_cast<long long>(played));
    for (int s = 1; s <= 4; ++s)
        std::printf("seat %d: made %.1f%%, avg change %.2f\n", s, 100.0 * made[s] / std::max<std::int64_t>(1, bidsTotal[s]),
                    static_cast<double>(scoreSum[s]) / std::max<std::int64_t>(1, played));
    auto report = [](const char* what, std::vector<double> v) {
        if (v.empty())
            return;
        std::sort(v.begin(), v.end());
        std::printf("%s: n %zu median %.2f ms p99 %.2f ms max %.2f ms\n", what, v.size(), v[v.size() / 2],
                    v[v.size() * 99 / 100], v.back());
    };
    report("card", times);
    report("bid", bidTimes);
    return 0;
}

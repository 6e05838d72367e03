// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Dealing the cards a seat cannot see, in every way that agrees with what it has seen.

#include <array>
#include <cstdint>

#include "core/expert/expert_playout.h"
#include "core/seat_view.h"

namespace halbeet::expert {

// A small, fast generator (xoshiro256**) seeded through splitmix64: the Expert's only source of
// chance, so that a decision is a function of the view and the seed alone.
class Rng {
  public:
    explicit Rng(std::uint64_t seed);
    std::uint64_t next();
    // A value in 0..n-1, n > 0.
    std::uint32_t below(std::uint32_t n)
    {
        return static_cast<std::uint32_t>(((next() >> 32) * std::uint64_t{n}) >> 32);
    }

  private:
    std::array<std::uint64_t, 4> m_s{};
};

// What the seat's view says about where the unseen cards may be.
struct Knowledge {
    int me = 0;
    std::int32_t trump = 0;
    int dealer = 0;
    Mask unseen = 0;                // cards in the other three hands
    std::array<int, 5> holding{};   // cards each seat holds now
    std::array<Mask, 5> allowed{};  // cards each seat may hold: all but the suits it is out of
    std::array<Mask, 5> playedBy{}; // cards each seat has played in this deal
    int cutBit = -1;                // the cut card when it is unseen and still in the dealer's hand
    PerSeat<std::int32_t> bids{};   // public stored bids, 0 = not known
    PerSeat<std::int32_t> scores{};
};

Knowledge Analyse(const SeatView& view);

// Deals the unseen cards to the other three seats: each gets as many as it holds, none of a
// suit it is out of, the dealer keeps the unplayed cut card. False only when the attempts all
// ran into a dead end (it does not happen with a view built from a real deal, but a caller may
// pass a view that no deal fits).
bool SampleHands(const Knowledge& k, Rng& rng, std::array<Mask, 5>& hands);

// How likely a seat with this whole deal's hand would have made its public bid, for a seat
// that bids by counting winners: 1 when the count gives the bid, less the further it is off.
double BidLikelihood(const Knowledge& k, const std::array<Mask, 5>& hands);

// The bid the fixed-rule bidder makes with a 13-card hand: its winner count, the score's
// minimum and the doubling from 7 tricks. The same result as ComputerBid, on a bit mask.
std::int32_t CountedBid(Mask hand, std::int32_t trump, std::int32_t score);

} // namespace halbeet::expert

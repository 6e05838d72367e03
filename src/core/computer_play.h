// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How a computer seat chooses its card: leading, following, ruffing and discarding.

#include "core/state.h"

namespace halbeet {

// The few points in which the seats play differently.
struct SeatProfile {
    int seat = 0;
    int partner = 0;
    int next = 0;                     // the seat that plays right after this one
    std::array<int, 4> lowLeadOrder{};  // order of reading PartnerLeadSuits entries, low bid
    std::array<int, 4> highLeadOrder{}; // the same for a high bid
    bool kingWhenFourthToLow = false;
};

// Seats 2, 3 and 4 as the game plays them; seat 1 as the simulator plays it.
const SeatProfile& ProfileOf(int seat);

// The card the seat would play now (no waiting, no change to the state).
TCardFace ChooseComputerCard(const TGameState& state, const SeatProfile& profile);
// The lead or follow rules alone, without the fall-back to a discard that ChooseComputerCard
// applies should they ever name a card the seat does not hold. For checking the rules.
TCardFace ChooseByRules(const TGameState& state, const SeatProfile& profile);
// True when card is a real card among the filled slots of the seat's hand.
bool IsHeldCard(const TGameState& state, int seat, TCardFace card);
// Chooses and commits; the caller has waited PlayDelay already. Leaves the card in ComputerCard.
void ComputerPlay(TGameState& state, int seat);

} // namespace halbeet

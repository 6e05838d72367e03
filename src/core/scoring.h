// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A deal's scores from the bids and the tricks taken, and the winner of the game.

#include "core/state.h"

namespace halbeet {

// Every seat gains its stored bid when it took at least the tricks bid, and loses it otherwise;
// a seat without a bid (anything but a stored bid) keeps its score.
void ScoreDeal(PerSeat<std::int32_t>& scores, const PerSeat<std::int32_t>& bids,
               const PerSeat<std::int32_t>& tricksWon);
// The seat that has won the game (41 or more with a partner not below 0), or 0.
std::int32_t FindGameWinner(const PerSeat<std::int32_t>& scores);

} // namespace halbeet

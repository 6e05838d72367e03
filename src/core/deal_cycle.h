// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A new deal as the game deals it: the throw-away deals, the reseed, the real deal and its split.

#include "core/random.h"
#include "core/state.h"

namespace halbeet {

// Deals a new deal the way the game does: four throw-away deals, a reseed and the real one, so
// the deck carries all fifteen passes and DealerCounter moves on by one seat. Then every hand
// is split by suit and the deal starts: 13 cards each, nothing played, the trick empty.
void DealNewDeal(TGameState& state, TRandom& random);

} // namespace halbeet

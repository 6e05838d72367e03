// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shuffling the persistent deck and dealing it.

#include "core/cards.h"
#include "core/random.h"

namespace halbeet {

// One offset-swap pass with offset r (1..52).
void ShufflePass(TDeck& deck, int r);

// Reseeds, runs three passes, deals four blocks of 13, turns up the cut card from slot 1 of
// seat DealerCounter + 1, derives the trump and advances DealerCounter.
void ShuffleAndDeal(TDeck& deck, std::int32_t& trump, THand& hand1, THand& hand2, THand& hand3,
                    THand& hand4, std::int32_t& dealerCounter, TCardFace& cutCard, TRandom& random);

} // namespace halbeet

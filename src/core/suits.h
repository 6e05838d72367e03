// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Looking at a hand suit by suit.

#include "core/state.h"

namespace halbeet {

void SplitBySuit(THand hand, TSuitSplit& split);
void SortByRank(TCardList& list, std::int32_t count, std::int32_t first);
// Regroups the human's hand: clubs, hearts, spades, diamonds, each from the two to the ace.
void SortHumanHand(THand& hand);

} // namespace halbeet

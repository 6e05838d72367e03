// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Looking at a hand suit by suit, and the bookkeeping that keeps hands, splits and the record
// of played cards in step.

#include "core/state.h"

namespace halbeet {

void SplitBySuit(THand hand, TSuitSplit& split);
void SortByRank(TCardList& list, std::int32_t count, std::int32_t first);
// Regroups the human's hand: clubs, hearts, spades, diamonds, each from the two to the ace.
void SortHumanHand(THand& hand);

// Works on a hand (THand) and on a per-suit list alike: both are TCardList-shaped.
void RemoveCard(TCardFace card, TCardList& list, std::int32_t& count);
void RemoveFromSplit(TCardFace card, TSuitSplit& split);
void AddToSplit(TCardFace card, TSuitSplit& split);

} // namespace halbeet

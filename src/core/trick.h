// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A trick by the rules: the card that takes it, and a card going from a hand into it.

#include "core/state.h"

namespace halbeet {

// The highest trump in the trick, or with none the highest card of the suit led; empty
// positions (Suite 0) are passed over.
TTrickCard TrickWinner(const TTrick& trick, std::int32_t trump);
// Records a played card: hand, split, PlayedCards, Trick[TrickPos], CardsPlayed, TrickPos, and
// ComputerCard (the last card played, whoever played it).
void CommitCard(TGameState& state, int seat, TCardFace card);

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/trick.h"

#include "core/suits.h"

namespace halbeet {

TTrickCard TrickWinner(const TTrick& trick, std::int32_t trump)
{
    const std::int32_t led = trick[1].Suite;
    int bestFollow = 1;
    int bestTrump = 0;
    for (int p = 2; p <= 4; ++p) {
        const TTrickCard& c = trick[p];
        if (c.Suite == 0)
            continue;
        if (c.Suite == led) {
            if (PlayRank(c.Number) > PlayRank(trick[bestFollow].Number))
                bestFollow = p;
        } else if (c.Suite == trump) {
            if (bestTrump == 0 || PlayRank(c.Number) > PlayRank(trick[bestTrump].Number))
                bestTrump = p;
        }
    }
    return trick[bestTrump != 0 ? bestTrump : bestFollow];
}

void CommitCard(TGameState& state, int seat, TCardFace card)
{
    state.ComputerCard = card;
    RemoveCard(card, state.Hands[seat], state.HandCount[seat]);
    RemoveFromSplit(card, state.Splits[seat]);
    AddToSplit(card, state.PlayedCards);
    state.Trick[state.TrickPos] = TTrickCard{card.Suite, card.Number, seat};
    ++state.CardsPlayed;
    state.TrickPos = state.TrickPos == 4 ? 1 : state.TrickPos + 1;
}

} // namespace halbeet

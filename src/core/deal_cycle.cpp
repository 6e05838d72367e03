// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/deal_cycle.h"

#include "core/deck.h"
#include "core/suits.h"

namespace halbeet {

void DealNewDeal(TGameState& state, TRandom& random)
{
    TGameState& st = state;
    for (int run = 1; run <= 5; ++run) {
        if (run == 5)
            random.Reseed();
        ShuffleAndDeal(st.Deck, st.Trump, st.Hands[1], st.Hands[2], st.Hands[3], st.Hands[4],
                       st.DealerCounter, st.CutCard, random);
    }
    for (const int seat : {2, 3, 4, 1})
        SplitBySuit(st.Hands[seat], st.Splits[seat]);
    for (int seat = 1; seat <= 4; ++seat)
        st.HandCount[seat] = 13;
    st.PlayedCards.Counts = {};
    st.CardsPlayed = 0;
    st.Trick = {};
    st.TrickPos = 1;
}

} // namespace halbeet

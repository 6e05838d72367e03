// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/cards.h"

namespace halbeet {

void InitDeck(TDeck& deck)
{
    deck[0] = NoCard;
    for (std::int32_t p = 1; p <= 52; ++p)
        deck[p] = TCardFace{(p - 1) % 4 + 1, (p - 1) % 13 + 1};
}

} // namespace halbeet

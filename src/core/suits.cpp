// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/suits.h"

#include <array>
#include <utility>

namespace halbeet {

void SplitBySuit(THand hand, TSuitSplit& split)
{
    // One walk over the slots keeps each suit in slot order, as four walks would.
    std::array<std::int32_t, 5> counts{};
    for (int k = 1; k <= 13; ++k) {
        const std::int32_t s = hand[k].Suite;
        if (s >= 1 && s <= 4)
            split.Lists[s][++counts[s]] = TCardFace{s, hand[k].Number};
    }
    for (std::int32_t s = 1; s <= 4; ++s)
        split.Counts[s] = counts[s];
}

void SortByRank(TCardList& list, std::int32_t count, std::int32_t first)
{
    if (count < first)
        return;
    for (std::int32_t i = first; i < count; ++i) {
        for (std::int32_t j = i + 1; j <= count; ++j) {
            if (list[j].Number < list[i].Number)
                std::swap(list[i].Number, list[j].Number);
        }
    }
    // The ace is stored as 1 and so sorts first; it belongs after the king.
    if (list[first].Number == Ace) {
        const TCardFace ace = list[first];
        for (std::int32_t k = first; k < count; ++k)
            list[k] = list[k + 1];
        list[count] = ace;
    }
}

void SortHumanHand(THand& hand)
{
    TSuitSplit split;
    SplitBySuit(hand, split);
    for (std::int32_t s = 1; s <= 4; ++s)
        SortByRank(split.Lists[s], split.Counts[s], 1);

    hand.fill(NoCard);
    // Black, red, black, red, so that neighbouring groups never share a colour.
    constexpr std::int32_t order[4] = {Clubs, Hearts, Spades, Diamonds};
    int slot = 1;
    for (const std::int32_t s : order) {
        for (std::int32_t k = 1; k <= split.Counts[s]; ++k)
            hand[slot++] = split.Lists[s][k];
    }
}

void RemoveCard(TCardFace card, TCardList& list, std::int32_t& count)
{
    std::int32_t found = 0; // the first position holding the card, walked from the back
    for (std::int32_t k = count; k >= 1; --k) {
        // "&", not "&&": both fields in one test keeps the loop free of branches.
        const bool same = (list[k].Suite == card.Suite) & (list[k].Number == card.Number);
        found = same ? k : found;
    }
    if (found == 0)
        return;
    list[found] = list[count];
    list[count] = NoCard;
    --count;
}

void RemoveFromSplit(TCardFace card, TSuitSplit& split)
{
    if (card.Suite < 1 || card.Suite > 4)
        return;
    RemoveCard(card, split.Lists[card.Suite], split.Counts[card.Suite]);
}

void AddToSplit(TCardFace card, TSuitSplit& split)
{
    if (card.Suite < 1 || card.Suite > 4)
        return;
    std::int32_t& count = split.Counts[card.Suite];
    if (count >= 13)
        return; // a suit has 13 cards; more would run past the list
    split.Lists[card.Suite][++count] = card;
}

} // namespace halbeet

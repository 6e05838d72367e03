// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/deck.h"

#include <array>
#include <cstdint>
#include <utility>

namespace halbeet {

namespace {

// A pass depends only on its offset, so each of the 52 passes is a fixed rearrangement. Working
// them out once turns a pass from a chain of dependent exchanges into independent copies.
struct PassTables {
    // source[r][i]: the position whose card lands at position i after a pass with offset r.
    std::array<std::array<std::uint8_t, 53>, 53> source{};

    PassTables()
    {
        for (int r = 1; r <= 52; ++r) {
            std::array<std::uint8_t, 53> where{};
            for (int p = 0; p <= 52; ++p)
                where[p] = static_cast<std::uint8_t>(p);
            for (int i = 1; i <= 52; ++i) {
                int j = i + r;
                if (j > 52) {
                    j -= 52;
                    // The wrapped partner is never position 1: the top card only ever moves
                    // by the exchange made at i = 1.
                    if (j == 1)
                        j = 2;
                }
                std::swap(where[i], where[j]);
            }
            source[r] = where;
        }
    }
};

const PassTables& Tables()
{
    static const PassTables tables;
    return tables;
}

} // namespace

void ShufflePass(TDeck& deck, int r)
{
    const std::array<std::uint8_t, 53>& source = Tables().source[r];
    const TDeck before = deck;
    for (int i = 1; i <= 52; ++i)
        deck[i] = before[source[i]];
}

void ShuffleAndDeal(TDeck& deck, std::int32_t& trump, THand& hand1, THand& hand2, THand& hand3,
                    THand& hand4, std::int32_t& dealerCounter, TCardFace& cutCard, TRandom& random)
{
    random.Reseed();
    const int r1 = static_cast<int>(random.Below(52)) + 1;
    const int r2 = static_cast<int>(random.Below(52)) + 1;
    const int r3 = static_cast<int>(random.Below(52)) + 1;
    // The three passes in one go: follow each final position back through the three tables.
    const auto& t1 = Tables().source[r1];
    const auto& t2 = Tables().source[r2];
    const auto& t3 = Tables().source[r3];
    const TDeck before = deck;
    for (int i = 1; i <= 52; ++i)
        deck[i] = before[t1[t2[t3[i]]]];

    THand* const hands[4] = {&hand1, &hand2, &hand3, &hand4};
    for (int s = 0; s < 4; ++s) {
        THand& hand = *hands[s];
        hand[0] = NoCard;
        for (int k = 1; k <= 13; ++k)
            hand[k] = deck[13 * s + k];
    }

    const std::int32_t v = dealerCounter;
    const TCardFace cut = (*hands[v])[1]; // slot 1 of seat v + 1
    trump = SameColourSuit(cut.Suite);
    cutCard = cut;
    dealerCounter = v + 1 == 4 ? 0 : v + 1;
}

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/analysis.h"

#include <utility>

namespace halbeet {

TCardFace HighestInList(const TCardList& list, std::int32_t count)
{
    // Written without early exits: the loops are short and their branches unpredictable.
    std::int32_t firstAce = 0;
    std::int32_t best = 0;
    for (std::int32_t k = count; k >= 1; --k)
        firstAce = list[k].Number == Ace ? k : firstAce;
    for (std::int32_t k = 1; k <= count; ++k) {
        // ">=": on a whole hand two cards can share a number, and the later slot is taken.
        best = best == 0 || list[k].Number >= list[best].Number ? k : best;
    }
    if (firstAce != 0)
        return list[firstAce];
    return best != 0 ? list[best] : NoCard;
}

TCardFace HighestOfSuit(std::int32_t suit, const TSuitSplit& split)
{
    return HighestInList(split.Lists[suit], split.Counts[suit]);
}

TCardFace LowestInList(const TCardList& list, std::int32_t count)
{
    if (count <= 0)
        return NoCard;
    const auto rank = [](const TCardFace& c) { return c.Number == Ace ? 15 : c.Number; };
    std::int32_t best = 1;
    std::int32_t bestRank = rank(list[1]);
    for (std::int32_t k = 2; k <= count; ++k) {
        const std::int32_t r = rank(list[k]);
        const bool lower = list[k].Suite != 0 && r < bestRank;
        best = lower ? k : best;
        bestRank = lower ? r : bestRank;
    }
    return list[best];
}

TCardFace LowestOfSuit(std::int32_t suit, const TSuitSplit& split)
{
    return LowestInList(split.Lists[suit], split.Counts[suit]);
}

bool HasAce(std::int32_t suit, const TSuitSplit& split)
{
    const TCardList& list = split.Lists[suit];
    for (std::int32_t k = 1; k <= split.Counts[suit]; ++k) {
        if (list[k].Number == Ace)
            return true;
    }
    return false;
}

std::int32_t SuitCount(std::int32_t suit, const std::array<std::int32_t, 5>& counts)
{
    return suit >= 1 && suit <= 4 ? counts[suit] : 0;
}

bool IsMasterInList(TCardFace card, const TCardList& list, std::int32_t count)
{
    if (card.Number == Ace)
        return true;
    if (card.Number < 2 || card.Number > King)
        return false;
    std::int32_t above = 0;
    for (std::int32_t k = 1; k <= count; ++k) {
        if (PlayRank(list[k].Number) > card.Number)
            ++above;
    }
    return above == 14 - card.Number;
}

bool IsMaster(TCardFace card, const TSuitSplit& split)
{
    if (card.Suite < 1 || card.Suite > 4)
        return false;
    return IsMasterInList(card, split.Lists[card.Suite], split.Counts[card.Suite]);
}

TCardFace CheapestWinnerInList(TCardFace reference, const TCardList& list, std::int32_t count)
{
    // The reference is compared by playing strength, so that nothing is taken to beat an ace.
    const std::int32_t floor = PlayRank(reference.Number);
    TCardFace best = NoCard;
    for (std::int32_t k = 1; k <= count; ++k) {
        const std::int32_t r = PlayRank(list[k].Number);
        if (r > floor && (best.Suite == 0 || r <= PlayRank(best.Number)))
            best = list[k];
    }
    return best;
}

TCardFace CheapestWinner(const TTrickCard& reference, const TSuitSplit& split)
{
    if (reference.Suite < 1 || reference.Suite > 4)
        return NoCard;
    return CheapestWinnerInList(TCardFace{reference.Suite, reference.Number},
                                split.Lists[reference.Suite], split.Counts[reference.Suite]);
}

std::int32_t ChooseLeadSuit(std::int32_t trump, const std::array<std::int32_t, 5>& myCounts,
                            const std::array<std::int32_t, 5>& playedCounts)
{
    std::int32_t suits[5] = {};
    int entries = 0;
    for (std::int32_t s = 1; s <= 4; ++s) {
        if (s != trump && myCounts[s] > 0)
            suits[++entries] = s;
    }
    if (entries == 0)
        return trump;

    // One bubble pass only: the longest suit ends last, the first entry need not be the
    // shortest.
    for (int j = 1; j < entries; ++j) {
        if (myCounts[suits[j]] > myCounts[suits[j + 1]])
            std::swap(suits[j], suits[j + 1]);
    }
    // A suit that nobody else holds any more invites a ruff: push it back.
    for (int j = 1; j < entries; ++j) {
        if (myCounts[suits[j]] + playedCounts[suits[j]] == 13)
            std::swap(suits[j], suits[j + 1]);
    }
    return suits[1];
}

std::array<std::int32_t, 5> PartnerLeadSuits(std::int32_t trump, const TSuitSplit& partner,
                                             const TSuitSplit& played,
                                             const std::array<std::int32_t, 5>& myCounts,
                                             const std::array<std::int32_t, 5>& nextCounts)
{
    std::array<std::int32_t, 5> found{};
    int n = 0;

    // The side suit the partner is shortest in (the later one on a tie): if he is void there
    // and can trump, leading it gives him a ruff.
    std::int32_t shortest = 0;
    for (std::int32_t s = 1; s <= 4; ++s) {
        if (s != trump && (shortest == 0 || partner.Counts[s] <= partner.Counts[shortest]))
            shortest = s;
    }
    if (shortest != 0 && partner.Counts[shortest] == 0 && partner.Counts[trump] > 0 &&
        myCounts[shortest] + played.Counts[shortest] != 13)
        found[++n] = shortest;

    // Side suits where the partner's king has become master and the next seat must follow.
    constexpr std::int32_t kingOrder[4] = {1, 2, 4, 3};
    for (const std::int32_t t : kingOrder) {
        if (t == trump)
            continue;
        if (nextCounts[t] > 0 && HighestInList(partner.Lists[t], partner.Counts[t]).Number == King &&
            HasAce(t, played))
            found[++n] = t;
    }
    return found;
}

} // namespace halbeet

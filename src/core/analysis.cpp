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

// SPDX-License-Identifier: GPL-3.0-or-later
// Dealing the unseen cards for the Expert's samples, consistent with the seat's view.

#include "core/expert/expert_sampler.h"

#include <algorithm>

#include "core/bids.h"

namespace halbeet::expert {

namespace {

std::uint64_t SplitMix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

Rng::Rng(std::uint64_t seed)
{
    for (auto& s : m_s)
        s = SplitMix(seed);
}

std::uint64_t Rng::next()
{
    const std::uint64_t result = Rotl(m_s[1] * 5, 7) * 9;
    const std::uint64_t t = m_s[1] << 17;
    m_s[2] ^= m_s[0];
    m_s[3] ^= m_s[1];
    m_s[1] ^= m_s[2];
    m_s[0] ^= m_s[3];
    m_s[2] ^= t;
    m_s[3] = Rotl(m_s[3], 45);
    return result;
}

Knowledge Analyse(const SeatView& view)
{
    Knowledge k;
    k.me = view.Seat;
    k.trump = view.Trump;
    k.dealer = view.Dealer;
    k.bids = view.Bids;
    k.scores = view.Scores;

    Mask mine = 0;
    for (int i = 0; i < view.HandCount; ++i)
        mine |= BitOf(view.Hand[static_cast<std::size_t>(i)]);
    Mask played = 0;
    for (int i = 0; i < view.PlayCount; ++i) {
        const TTrickCard& p = view.Plays[static_cast<std::size_t>(i)];
        played |= BitOf(p.Suite, p.Number);
        k.playedBy[p.Seat] |= BitOf(p.Suite, p.Number);
    }
    k.unseen = kAllCards & ~mine & ~played;
    for (int s = 1; s <= 4; ++s) {
        k.holding[s] = s == k.me ? view.HandCount : 13 - Count(k.playedBy[s]);
        k.allowed[s] = kAllCards;
        for (int suit = 1; suit <= 4; ++suit) {
            if (view.Void[s][suit])
                k.allowed[s] &= ~SuitMask(suit);
        }
    }
    k.allowed[k.me] = mine;
    if (view.CutCard.Suite != 0 && view.Dealer != k.me && (k.unseen & BitOf(view.CutCard)) != 0)
        k.cutBit = CardBit(view.CutCard.Suite, view.CutCard.Number);
    return k;
}

bool SampleHands(const Knowledge& k, Rng& rng, std::array<Mask, 5>& hands)
{
    // The cards fewest seats may hold go first, so a seat that is out of suits is not left with
    // room only for cards it cannot take.
    std::array<int, 52> order{};
    int n = 0;
    std::array<std::pair<int, int>, 4> suitOrder{};
    for (int suit = 1; suit <= 4; ++suit) {
        int takers = 0;
        for (int s = 1; s <= 4; ++s)
            takers += (s != k.me && (k.allowed[s] & SuitMask(suit)) != 0) ? 1 : 0;
        suitOrder[static_cast<std::size_t>(suit - 1)] = {takers, suit};
    }
    std::sort(suitOrder.begin(), suitOrder.end());

    for (int attempt = 0; attempt < 64; ++attempt) {
        // After many dead ends, drop the suits-out constraints rather than give nothing.
        const bool relaxed = attempt >= 48;
        hands = {};
        std::array<int, 5> room = k.holding;
        Mask pool = k.unseen;
        if (k.cutBit >= 0) {
            hands[k.dealer] |= Mask{1} << k.cutBit;
            --room[k.dealer];
            pool &= ~(Mask{1} << k.cutBit);
        }
        n = 0;
        for (const auto& [takers, suit] : suitOrder) {
            const int first = n;
            for (Mask m = pool & SuitMask(suit); m != 0; m &= m - 1)
                order[static_cast<std::size_t>(n++)] = LowestBit(m);
            for (int i = n - 1; i > first; --i) {
                const int j =
                    first + static_cast<int>(rng.below(static_cast<std::uint32_t>(i - first + 1)));
                std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
            }
        }
        bool ok = true;
        for (int i = 0; i < n && ok; ++i) {
            const int bit = order[static_cast<std::size_t>(i)];
            const Mask card = Mask{1} << bit;
            int total = 0;
            std::array<int, 5> weight{};
            for (int s = 1; s <= 4; ++s) {
                if (s == k.me || room[s] <= 0 || (!relaxed && (k.allowed[s] & card) == 0))
                    continue;
                weight[s] = room[s];
                total += room[s];
            }
            if (total == 0) {
                ok = false;
                break;
            }
            int r = static_cast<int>(rng.below(static_cast<std::uint32_t>(total)));
            int seat = 1;
            while (r >= weight[seat]) {
                r -= weight[seat];
                ++seat;
            }
            hands[seat] |= card;
            --room[seat];
        }
        if (ok) {
            hands[k.me] = k.allowed[k.me];
            return true;
        }
    }
    return false;
}

std::int32_t CountedBid(Mask hand, std::int32_t trump, std::int32_t score)
{
    auto has = [](Mask suit, int rank) { return (suit & (Mask{1} << (rank - 2))) != 0; };
    std::int32_t bid = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        const Mask cards = (hand >> ((suit - 1) * 16)) & 0x1FFF;
        const int n = Count(cards);
        if (n == 0)
            continue;
        bid += has(cards, 14) ? 1 : 0;
        bid += has(cards, 13) && n >= 2 ? 1 : 0;
        if (suit == trump) {
            bid += has(cards, 12) && n >= 3 ? 1 : 0;
            bid += has(cards, 11) && n >= 4 ? 1 : 0;
            bid += has(cards, 10) && n >= 5 ? 1 : 0;
            bid += n >= 5 ? 1 : 0;
        }
    }
    return StoredBid(std::max(bid, LowestBid(score)));
}

double BidLikelihood(const Knowledge& k, const std::array<Mask, 5>& hands)
{
    // Each trick of difference between the counted bid and the bid made costs this factor: a
    // counting bidder is rarely off by more than one.
    constexpr double kPerTrick = 0.3;
    double w = 1.0;
    for (int s = 1; s <= 4; ++s) {
        if (s == k.me || k.bids[s] == 0)
            continue;
        const std::int32_t counted = CountedBid(hands[s] | k.playedBy[s], k.trump, k.scores[s]);
        int off = TricksOfBid(counted) - TricksOfBid(k.bids[s]);
        off = off < 0 ? -off : off;
        for (int i = 0; i < off; ++i)
            w *= kPerTrick;
    }
    return w;
}

} // namespace halbeet::expert

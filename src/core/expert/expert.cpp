// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert: card choice by sampled play-outs, bids by simulated deals, and the reason given.

#include "core/expert/expert.h"

#include <algorithm>
#include <vector>

#include "core/bids.h"
#include "core/expert/expert_playout.h"
#include "core/expert/expert_sampler.h"
#include "core/scoring.h"

namespace halbeet {

using namespace expert;

namespace {

// A won game, in points of the side's score difference: what the whole race is for.
constexpr double kGameValue = 40.0;

// The value of a finished deal for the side of seat me: its points minus the other side's, and
// the game when the new scores end it.
double DealValue(int me, const PerSeat<std::int32_t>& scores, const PerSeat<std::int32_t>& bids,
                 const std::array<int, 5>& won)
{
    PerSeat<std::int32_t> after = scores;
    double value = 0;
    for (int s = 1; s <= 4; ++s) {
        const std::int32_t delta = BidScore(bids[s], won[s]);
        after[s] += delta;
        value += (s == me || s == PartnerOf(me)) ? delta : -delta;
    }
    const std::int32_t winner = FindGameWinner(after);
    if (winner != 0)
        value += (winner == me || winner == PartnerOf(me)) ? kGameValue : -kGameValue;
    return value;
}

Position StartPosition(const SeatView& view)
{
    Position pos;
    pos.trump = view.Trump;
    pos.leader = view.TrickLeader;
    for (int s = 1; s <= 4; ++s) {
        pos.won[s] = view.TricksWon[s];
        pos.want[s] = TricksOfBid(view.Bids[s]);
    }
    for (const TTrickCard& c : view.CurrentTrick())
        pos.trickBit[static_cast<std::size_t>(pos.trickLen++)] = CardBit(c.Suite, c.Number);
    pos.tricksLeft = 13 - view.PlayCount / 4;
    return pos;
}

// The hand's cards as one mask.
Mask HandMask(const SeatView& view)
{
    Mask hand = 0;
    for (int i = 0; i < view.HandCount; ++i)
        hand |= BitOf(view.Hand[static_cast<std::size_t>(i)]);
    return hand;
}

// The cards of bit's suit the hand holds below it, and above it.
Mask HeldBelow(Mask hand, int bit) { return hand & SuitMask(SuitOfBit(bit)) & ((Mask{1} << bit) - 1); }
Mask HeldAbove(Mask hand, int bit) { return hand & SuitMask(SuitOfBit(bit)) & ~((Mask{2} << bit) - 1); }

// Below the ten: a card that a lead gives away without giving up a trick the hand could make.
constexpr int kLowestHonour = 10;

ExpertReason ReasonForCard(const SeatView& view, Mask legal, int bit)
{
    if (Count(legal) == 1)
        return ExpertReason::OnlyCard;
    const Mask hand = HandMask(view);
    const auto trick = view.CurrentTrick();
    if (trick.empty()) {
        // A master: every higher card of its suit is already played or in my own hand.
        Mask gone = hand;
        for (int i = 0; i < view.PlayCount; ++i)
            gone |= BitOf(view.Plays[static_cast<std::size_t>(i)].Suite,
                          view.Plays[static_cast<std::size_t>(i)].Number);
        const Mask higher = SuitMask(SuitOfBit(bit)) & ~((Mask{2} << bit) - 1);
        if ((higher & ~gone) == 0)
            return SuitOfBit(bit) == view.Trump ? ExpertReason::DrawsTrumps
                                                : ExpertReason::LeadsWinner;
        // A low lead is the bottom of its suit in the hand, and low in itself: a king led from
        // the king alone is no low lead, nor a ten led over the two.
        if (HeldBelow(hand, bit) == 0 && RankOfBit(bit) < kLowestHonour)
            return ExpertReason::LeadsLow;
        return ExpertReason::NoReason;
    }
    const int led = trick[0].Suite;
    int wpos = 0;
    for (std::size_t p = 1; p < trick.size(); ++p) {
        if (Beats(CardBit(trick[p].Suite, trick[p].Number),
                  CardBit(trick[static_cast<std::size_t>(wpos)].Suite,
                          trick[static_cast<std::size_t>(wpos)].Number),
                  view.Trump))
            wpos = static_cast<int>(p);
    }
    const TTrickCard& w = trick[static_cast<std::size_t>(wpos)];
    const int wbit = CardBit(w.Suite, w.Number);
    if (Beats(bit, wbit, view.Trump)) {
        if (SuitOfBit(bit) == led)
            return ExpertReason::WinsTrick;
        return w.Suite == view.Trump ? ExpertReason::OverRuffs : ExpertReason::Ruffs;
    }
    if (w.Seat == PartnerOf(view.Seat))
        return ExpertReason::LeavesToPartner;
    if (SuitOfBit(bit) != led) {
        // The least useful card of a suit is its lowest.
        return HeldBelow(hand, bit) == 0 ? ExpertReason::DiscardsLowest : ExpertReason::NoReason;
    }
    // Following low keeps a high card only when the hand holds one that would have taken the
    // trick; under a king with the three and five there is nothing to keep, nothing wins.
    for (Mask m = HeldAbove(hand, bit); m != 0; m &= m - 1)
        if (Beats(LowestBit(m), wbit, view.Trump))
            return ExpertReason::SavesHighCard;
    return ExpertReason::CannotWin;
}

} // namespace

const char* ExpertReasonCode(ExpertReason reason)
{
    switch (reason) {
    case ExpertReason::OnlyCard:
        return "only-card";
    case ExpertReason::WinsTrick:
        return "wins-the-trick";
    case ExpertReason::Ruffs:
        return "ruffs";
    case ExpertReason::OverRuffs:
        return "over-ruffs";
    case ExpertReason::LeavesToPartner:
        return "leaves-it-to-partner";
    case ExpertReason::SavesHighCard:
        return "saves-a-high-card";
    case ExpertReason::DiscardsLowest:
        return "discards-the-lowest";
    case ExpertReason::LeadsWinner:
        return "leads-a-sure-winner";
    case ExpertReason::DrawsTrumps:
        return "draws-trumps";
    case ExpertReason::LeadsLow:
        return "leads-low";
    case ExpertReason::BidsExpected:
        return "bids-expected-tricks";
    case ExpertReason::BidsLowest:
        return "bids-the-lowest";
    case ExpertReason::CannotWin:
        return "cannot-win";
    case ExpertReason::NoReason:
        return "no-reason";
    }
    return "";
}

ExpertReason ExpertReasonFor(const SeatView& view, TCardFace card)
{
    return ReasonForCard(view, LegalCardMask(view), CardBit(card.Suite, card.Number));
}

std::uint64_t LegalCardMask(const SeatView& view)
{
    const Mask hand = HandMask(view);
    const auto trick = view.CurrentTrick();
    if (trick.empty())
        return hand;
    const Mask follow = hand & SuitMask(trick[0].Suite);
    return follow != 0 ? follow : hand;
}

ExpertCard ExpertChooseCard(const SeatView& view, std::uint64_t seed, const ExpertBudget& budget)
{
    const Mask legal = LegalCardMask(view);
    ExpertCard result;
    if (legal == 0)
        return result;
    if (Count(legal) == 1) {
        result.card = FaceOfBit(LowestBit(legal));
        result.why = ExpertReason::OnlyCard;
        return result;
    }

    const Knowledge k = Analyse(view);
    const Position start = StartPosition(view);
    const int choices = Count(legal);
    const int cardsLeft = std::max(1, 52 - view.PlayCount);
    const std::int64_t perSample = static_cast<std::int64_t>(choices) * cardsLeft;
    const int samples = static_cast<int>(std::clamp<std::int64_t>(
        budget.playSteps / perSample, budget.minSamples, budget.maxSamples));

    std::array<int, 13> bits{};
    int n = 0;
    for (Mask m = legal; m != 0; m &= m - 1)
        bits[static_cast<std::size_t>(n++)] = LowestBit(m);
    std::array<double, 13> total{};
    double weightSum = 0;

    Rng rng(seed);
    std::array<Mask, 5> hands{};
    int done = 0;
    for (int i = 0; i < samples; ++i) {
        if (!SampleHands(k, rng, hands))
            break;
        const double w = BidLikelihood(k, hands);
        weightSum += w;
        ++done;
        Position pos = start;
        pos.hand = hands;
        for (int c = 0; c < n; ++c) {
            Position p = pos;
            p.play(bits[static_cast<std::size_t>(c)]);
            PlayOut(p);
            total[static_cast<std::size_t>(c)] +=
                w * DealValue(view.Seat, view.Scores, view.Bids, p.won);
        }
    }

    // The best mean; on a tie the lower card, so that nothing is given away for free.
    int best = 0;
    for (int c = 1; c < n; ++c) {
        if (total[static_cast<std::size_t>(c)] > total[static_cast<std::size_t>(best)] + 1e-9)
            best = c;
    }
    const int bit = bits[static_cast<std::size_t>(best)];
    result.card = FaceOfBit(bit);
    result.why = ReasonForCard(view, legal, bit);
    result.samples = done;
    result.expected = weightSum > 0 ? total[static_cast<std::size_t>(best)] / weightSum : 0;
    return result;
}

ExpertBid ExpertChooseBid(const SeatView& view, std::uint64_t seed, const ExpertBudget& budget)
{
    const Knowledge k = Analyse(view);
    const std::int32_t lowest = LowestBid(view.Scores[view.Seat]);

    std::array<double, kStoredBids.size()> total{};
    double weightSum = 0;
    double tricksSum = 0;
    Rng rng(seed);
    std::array<Mask, 5> hands{};
    for (int i = 0; i < budget.bidSamples; ++i) {
        if (!SampleHands(k, rng, hands))
            break;
        const double w = BidLikelihood(k, hands);
        Position pos;
        pos.trump = view.Trump;
        pos.leader = NextSeat(view.Dealer);
        pos.hand = hands;
        PerSeat<std::int32_t> bids{};
        std::int32_t others = 0;
        for (int s = 1; s <= 4; ++s) {
            if (s == view.Seat)
                continue;
            // A bid not yet made is guessed as a counting bidder would make it.
            bids[s] =
                view.Bids[s] != 0 ? view.Bids[s] : CountedBid(hands[s], view.Trump, view.Scores[s]);
            pos.want[s] = TricksOfBid(bids[s]);
            others += bids[s];
        }
        pos.want[view.Seat] = 13; // plays for every trick it can get
        PlayOut(pos);
        weightSum += w;
        tricksSum += w * pos.won[view.Seat];
        for (std::size_t b = 0; b < kStoredBids.size(); ++b) {
            if (kStoredBids[b] < lowest)
                continue;
            bids[view.Seat] = kStoredBids[b];
            // A deal whose bids come to less than 11 is thrown in: nothing won, nothing lost.
            if (others + kStoredBids[b] >= 11)
                total[b] += w * DealValue(view.Seat, view.Scores, bids, pos.won);
        }
    }

    ExpertBid result;
    std::size_t best = kStoredBids.size();
    for (std::size_t b = 0; b < kStoredBids.size(); ++b) {
        if (kStoredBids[b] < lowest)
            continue;
        if (best == kStoredBids.size() || total[b] > total[best] + 1e-9)
            best = b;
    }
    result.bid = kStoredBids[best];
    result.why = result.bid == lowest ? ExpertReason::BidsLowest : ExpertReason::BidsExpected;
    result.expectedTricks = weightSum > 0 ? tricksSum / weightSum : 0;
    return result;
}

} // namespace halbeet

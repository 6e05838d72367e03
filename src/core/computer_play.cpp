// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/computer_play.h"

#include "core/analysis.h"
#include "core/trick.h"

namespace halbeet {

namespace {

constexpr SeatProfile kProfiles[5] = {
    {},
    // Seat 1 is the human in the game. In self-play it plays as seats 3 and 4 do (candidate
    // order, no king fourth to a low card), with its own partner and next seat.
    {1, 3, 2, {4, 3, 2, 1}, {1, 2, 3, 4}, false},
    {2, 4, 3, {1, 2, 3, 4}, {1, 2, 3, 4}, true},
    {3, 1, 4, {4, 3, 2, 1}, {1, 2, 3, 4}, false},
    {4, 2, 1, {4, 3, 2, 1}, {1, 2, 3, 4}, false},
};

// One seat choosing its card by the fixed rules: the whole game state (the rules read the
// partner's and the next seat's hands too, which a fair player's SeatView does not hold), the
// seat's profile and the questions the rules ask of its hand.
struct ChoosingSeat {
    const TGameState& state;
    const SeatProfile& profile;
    const TSuitSplit& mine;
    const TSuitSplit& played;
    std::int32_t trump;

    ChoosingSeat(const TGameState& s, const SeatProfile& p)
        : state(s), profile(p), mine(s.Splits[p.seat]), played(s.PlayedCards), trump(s.Trump)
    {
    }

    bool holds(std::int32_t suit) const { return mine.Counts[suit] > 0; }
    bool holdsCard(std::int32_t suit, std::int32_t number) const
    {
        for (std::int32_t k = 1; k <= mine.Counts[suit]; ++k) {
            if (mine.Lists[suit][k].Number == number)
                return true;
        }
        return false;
    }
    bool acePlayed(std::int32_t suit) const { return HasAce(suit, played); }
    // A high bid is stored doubled, so it never counts as made: such a seat keeps fighting.
    bool bidMade() const { return state.TricksWon[profile.seat] >= state.Bids[profile.seat]; }
    TCardFace highest(std::int32_t suit) const { return HighestOfSuit(suit, mine); }
    TCardFace lowest(std::int32_t suit) const { return LowestOfSuit(suit, mine); }
    TCardFace highestInHand() const
    {
        return HighestInList(state.Hands[profile.seat], state.HandCount[profile.seat]);
    }
};

TCardFace Discard(const ChoosingSeat& v)
{
    return v.lowest(ChooseLeadSuit(v.trump, v.mine.Counts, v.played.Counts));
}

TCardFace RuffOrDiscard(const ChoosingSeat& v, bool partnerWinning)
{
    if (!v.holds(v.trump))
        return Discard(v);
    if (v.bidMade() && partnerWinning)
        return Discard(v);
    return v.lowest(v.trump);
}

// A king is worth leading once its ace is gone; before that, lead its queen to drive the ace
// out, or else a small card of the suit.
TCardFace KingOrCover(const ChoosingSeat& v, TCardFace king)
{
    if (v.acePlayed(king.Suite))
        return king;
    if (v.holdsCard(king.Suite, Queen))
        return TCardFace{king.Suite, Queen};
    return v.lowest(king.Suite);
}

TCardFace CandidateStep(const ChoosingSeat& v, const std::array<int, 4>& order)
{
    const auto suits = PartnerLeadSuits(v.trump, v.state.Splits[v.profile.partner], v.played,
                                        v.mine.Counts, v.state.Splits[v.profile.next].Counts);
    for (const int entry : order) {
        const std::int32_t t = suits[entry];
        if (t == 0 || !v.holds(t))
            continue;
        const TCardFace a = v.highest(t);
        if (a.Number == Ace || (a.Number == King && v.acePlayed(t)))
            return a;
        return v.lowest(t);
    }
    return NoCard;
}

TCardFace BestCardStep(const ChoosingSeat& v)
{
    const TCardFace h = v.highestInHand();
    if (h.Number == King)
        return KingOrCover(v, h);
    if (h.Number == Ace)
        return h;
    const std::int32_t t = ChooseLeadSuit(v.trump, v.mine.Counts, v.played.Counts);
    const TCardFace c = v.highest(t);
    if (IsMaster(c, v.played))
        return c;
    return v.lowest(t);
}

TCardFace HighBidLead(const ChoosingSeat& v)
{
    const std::int32_t n = v.mine.Counts[v.trump] + v.played.Counts[v.trump];
    if (n < 13) {
        // Draw the outstanding trumps first.
        if (v.holds(v.trump))
            return v.highest(v.trump);
        const TCardFace h = v.highestInHand();
        if (h.Number == King)
            return v.acePlayed(h.Suite) ? h : v.lowest(h.Suite);
        return h;
    }
    const TCardFace candidate = CandidateStep(v, v.profile.highLeadOrder);
    if (candidate.Suite != 0)
        return candidate;
    return BestCardStep(v);
}

TCardFace LowBidLead(const ChoosingSeat& v)
{
    const TCardFace candidate = CandidateStep(v, v.profile.lowLeadOrder);
    if (candidate.Suite != 0)
        return candidate;
    for (std::int32_t t = 1; t <= 4; ++t) {
        if (t == v.trump)
            continue;
        const TCardFace a = v.highest(t);
        if (a.Number == Ace)
            return a;
        if (a.Number == King)
            return KingOrCover(v, a);
    }
    return BestCardStep(v);
}

TCardFace FollowRuffed(const ChoosingSeat& v, std::int32_t led, const TTrickCard& w,
                       bool partnerWinning)
{
    if (v.holds(led))
        return v.lowest(led);
    const TCardFace t = v.highest(v.trump);
    const bool beats = t.Suite != 0 && PlayRank(t.Number) > PlayRank(w.Number);
    if (!beats || partnerWinning || w.Number == Ace)
        return Discard(v);
    return CheapestWinner(w, v.mine);
}

// Void in the led suit while the winning card is a queen or lower. Ruffing is left to the
// ruff-or-discard rule when the seat holds nothing but trumps, when the next seat must follow
// and so cannot over-ruff, or when nobody plays after it; otherwise a seat still short of its
// bid keeps its trumps for later.
TCardFace VoidAgainstLowWinner(const ChoosingSeat& v, std::int32_t led, bool partnerWinning,
                               bool fourth)
{
    if (v.mine.Counts[v.trump] == v.state.HandCount[v.profile.seat])
        return RuffOrDiscard(v, partnerWinning);
    if (v.state.Splits[v.profile.next].Counts[led] > 0)
        return RuffOrDiscard(v, partnerWinning);
    if (fourth)
        return RuffOrDiscard(v, partnerWinning);
    if (!v.bidMade())
        return Discard(v);
    return RuffOrDiscard(v, partnerWinning);
}

TCardFace Follow(const ChoosingSeat& v)
{
    const TTrick& trick = v.state.Trick;
    const std::int32_t led = trick[1].Suite;
    const TTrickCard w = TrickWinner(trick, v.trump);
    const bool partnerWinning = w.Seat == v.profile.partner;
    const int position = v.state.TrickPos;
    const bool fourth = trick[1].Suite != 0 && trick[2].Suite != 0 && trick[3].Suite != 0;
    const bool canFollow = v.holds(led);

    if (w.Suite != led)
        return FollowRuffed(v, led, w, partnerWinning);

    switch (w.Number) {
    case Ace:
        if (!canFollow)
            return partnerWinning ? Discard(v) : RuffOrDiscard(v, partnerWinning);
        // Help a partner who bid high to draw the trumps.
        if (IsHighBid(v.state.Bids[v.profile.partner]) && led == v.trump)
            return v.highest(led);
        return v.lowest(led);

    case King:
        if (partnerWinning)
            return canFollow ? v.lowest(led) : Discard(v);
        if (!canFollow)
            return RuffOrDiscard(v, partnerWinning);
        {
            const TCardFace a = v.highest(led);
            return a.Number == Ace ? a : v.lowest(led);
        }

    case Queen:
        if (!canFollow) {
            if (partnerWinning)
                return Discard(v);
            return VoidAgainstLowWinner(v, led, partnerWinning, fourth);
        }
        {
            const TCardFace a = v.highest(led);
            if (fourth) {
                if (partnerWinning)
                    return v.lowest(led);
                return a.Number == Ace || a.Number == King ? a : v.lowest(led);
            }
            if (a.Number == Ace || (a.Number == King && v.acePlayed(led)))
                return a;
            return v.lowest(led);
        }

    default: // two to jack
        if (!canFollow)
            return VoidAgainstLowWinner(v, led, partnerWinning, fourth);
        if (fourth && partnerWinning && v.bidMade())
            return v.lowest(led);
        {
            const TCardFace a = v.highest(led);
            if (a.Number == Ace)
                return fourth ? CheapestWinner(w, v.mine) : a;
            if (a.Number == King) {
                if (v.acePlayed(led))
                    return a;
                if (fourth && v.profile.kingWhenFourthToLow)
                    return a;
                return v.lowest(led);
            }
            if (PlayRank(a.Number) > PlayRank(w.Number))
                return position == 3 ? a : CheapestWinner(w, v.mine);
            return v.lowest(led);
        }
    }
}

bool InHand(const TGameState& state, int seat, TCardFace card)
{
    for (std::int32_t k = 1; k <= state.HandCount[seat]; ++k) {
        if (state.Hands[seat][k] == card)
            return true;
    }
    return false;
}

// The split is kept in step with the hand, and one suit's list is shorter than the hand: the
// cheaper place to look on every card.
bool InSplit(const TGameState& state, int seat, TCardFace card)
{
    const TSuitSplit& split = state.Splits[seat];
    for (std::int32_t k = 1; k <= split.Counts[card.Suite]; ++k) {
        if (split.Lists[card.Suite][k].Number == card.Number)
            return true;
    }
    return false;
}

bool IsHeldBySplit(const TGameState& state, int seat, TCardFace card)
{
    return card.Suite >= 1 && card.Suite <= 4 && card.Number >= 1 && card.Number <= King &&
           InSplit(state, seat, card);
}

} // namespace

const SeatProfile& ProfileOf(int seat)
{
    return kProfiles[seat >= 1 && seat <= 4 ? seat : 0];
}

TCardFace ChooseByRules(const TGameState& state, const SeatProfile& profile)
{
    const ChoosingSeat v(state, profile);
    if (state.Trick[1].Suite == 0)
        return IsHighBid(state.Bids[profile.seat]) ? HighBidLead(v) : LowBidLead(v);
    return Follow(v);
}

bool IsHeldCard(const TGameState& state, int seat, TCardFace card)
{
    return card.Suite >= 1 && card.Suite <= 4 && card.Number >= 1 && card.Number <= King &&
           InHand(state, seat, card);
}

TCardFace ChooseComputerCard(const TGameState& state, const SeatProfile& profile)
{
    const TCardFace card = ChooseByRules(state, profile);
    if (IsHeldBySplit(state, profile.seat, card))
        return card;
    // The rules always find a held card; should one ever fail, a discard is always legal and
    // never leaves the seat stuck.
    return Discard(ChoosingSeat(state, profile));
}

void ComputerPlay(TGameState& state, int seat)
{
    CommitCard(state, seat, ChooseComputerCard(state, ProfileOf(seat)));
}

} // namespace halbeet

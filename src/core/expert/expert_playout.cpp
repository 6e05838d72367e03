// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert's play-out: the trick rules on bit masks and a greedy open-hand policy.

#include "core/expert/expert_playout.h"

namespace halbeet::expert {

namespace {

int SeatAt(int leader, int position)
{
    return (leader - 1 + position) % 4 + 1;
}

// Could seat, playing later to this trick, beat the card bit? It must follow the led suit if it
// can; a trump played to a side-suit lead beats every follower.
bool CanBeat(const Position& pos, int seat, int bit, int led)
{
    const Mask hand = pos.hand[seat];
    const Mask follow = hand & SuitMask(led);
    if (follow != 0)
        return SuitOfBit(bit) == led && HighestBit(follow) > bit;
    const Mask trumps = hand & SuitMask(pos.trump);
    if (trumps == 0)
        return false;
    return SuitOfBit(bit) != pos.trump || HighestBit(trumps) > bit;
}

// Would bit, played now by the seat to play, keep the trick against every later opponent?
bool HoldsAgainstLater(const Position& pos, int bit, int led)
{
    const int me = pos.toPlay();
    const int partner = PartnerOf(me);
    int seat = me;
    for (int k = pos.trickLen + 1; k < 4; ++k) {
        seat = NextSeat(seat);
        if (seat != partner && CanBeat(pos, seat, bit, led))
            return false;
    }
    return true;
}

// The card to give away: the lowest of the led suit when following; otherwise the lowest side
// card (by rank, from the shorter suit on a tie), a trump only when nothing else is left.
int LowCard(const Position& pos, Mask legal)
{
    const int seat = pos.toPlay();
    Mask pool = legal;
    const bool following = pos.trickLen > 0 && (legal & SuitMask(SuitOfBit(pos.trickBit[0]))) != 0;
    const Mask side = legal & ~SuitMask(pos.trump);
    if (!following && side != 0)
        pool = side;
    int best = -1;
    for (Mask m = pool; m != 0; m &= m - 1) {
        const int bit = LowestBit(m);
        if (best < 0 || RankOfBit(bit) < RankOfBit(best) ||
            (RankOfBit(bit) == RankOfBit(best) &&
             Count(pos.hand[seat] & SuitMask(SuitOfBit(bit))) <
                 Count(pos.hand[seat] & SuitMask(SuitOfBit(best)))))
            best = bit;
    }
    return best;
}

// The cheapest card of mine in suit that no opponent can beat in that suit, or -1.
int SureCardInSuit(const Position& pos, int seat, int suit)
{
    const Mask mine = pos.hand[seat] & SuitMask(suit);
    if (mine == 0)
        return -1;
    const int a = SeatAt(seat, 1), b = SeatAt(seat, 3);
    const Mask opp = (pos.hand[a] | pos.hand[b]) & SuitMask(suit);
    if (suit != pos.trump) {
        // An opponent who is out of the suit and holds a trump would ruff.
        for (const int o : {a, b}) {
            if ((pos.hand[o] & SuitMask(suit)) == 0 && (pos.hand[o] & SuitMask(pos.trump)) != 0)
                return -1;
        }
    }
    if (opp == 0)
        return LowestBit(mine);
    const int top = HighestBit(opp);
    const Mask above = mine & ~((Mask{2} << top) - 1);
    return above != 0 ? LowestBit(above) : -1;
}

int LeadCard(const Position& pos, Mask legal)
{
    const int me = pos.toPlay();
    const int partner = PartnerOf(me);
    const int a = SeatAt(me, 1), b = SeatAt(me, 3);
    const bool iNeed = pos.want[me] > pos.won[me];
    const bool partnerNeeds = pos.want[partner] > pos.won[partner];
    const bool oppNeeds = pos.want[a] > pos.won[a] || pos.want[b] > pos.won[b];
    const Mask oppTrumps = (pos.hand[a] | pos.hand[b]) & SuitMask(pos.trump);

    if (iNeed || (oppNeeds && !partnerNeeds)) {
        // Draw the opponents' trumps first with a sure trump, then cash sure side cards.
        if (oppTrumps != 0) {
            const int c = SureCardInSuit(pos, me, pos.trump);
            if (c >= 0)
                return c;
        }
        for (int suit = 1; suit <= 4; ++suit) {
            if (suit == pos.trump)
                continue;
            const int c = SureCardInSuit(pos, me, suit);
            if (c >= 0)
                return c;
        }
        if (oppTrumps == 0) {
            const int c = SureCardInSuit(pos, me, pos.trump);
            if (c >= 0)
                return c;
        }
    }
    if (partnerNeeds || oppNeeds) {
        // Lead low into a suit the partner is sure to take.
        for (int suit = 1; suit <= 4; ++suit) {
            const Mask mine = legal & SuitMask(suit);
            if (mine != 0 && SureCardInSuit(pos, partner, suit) >= 0)
                return LowestBit(mine);
        }
    }
    // Otherwise the lowest card of the longest side suit.
    int bestSuit = 0;
    for (int suit = 1; suit <= 4; ++suit) {
        if (suit == pos.trump || (legal & SuitMask(suit)) == 0)
            continue;
        if (bestSuit == 0 || Count(legal & SuitMask(suit)) > Count(legal & SuitMask(bestSuit)))
            bestSuit = suit;
    }
    if (bestSuit == 0)
        return LowestBit(legal);
    return LowestBit(legal & SuitMask(bestSuit));
}

int FollowCard(const Position& pos, Mask legal)
{
    const int me = pos.toPlay();
    const int partner = PartnerOf(me);
    const int a = SeatAt(me, 1), b = SeatAt(me, 3);
    const bool iNeed = pos.want[me] > pos.won[me];
    const bool partnerNeeds = pos.want[partner] > pos.won[partner];
    const bool oppNeeds = pos.want[a] > pos.won[a] || pos.want[b] > pos.won[b];

    const int led = SuitOfBit(pos.trickBit[0]);
    const int wpos = pos.winnerPos();
    const int wbit = pos.trickBit[static_cast<std::size_t>(wpos)];
    const bool partnerWinning = SeatAt(pos.leader, wpos) == partner;

    Mask beaters = 0;
    for (Mask m = legal; m != 0; m &= m - 1) {
        const int bit = LowestBit(m);
        if (Beats(bit, wbit, pos.trump))
            beaters |= Mask{1} << bit;
    }

    if (partnerWinning && HoldsAgainstLater(pos, wbit, led)) {
        if (iNeed && !partnerNeeds) {
            for (Mask m = beaters; m != 0; m &= m - 1) {
                if (HoldsAgainstLater(pos, LowestBit(m), led))
                    return LowestBit(m);
            }
        }
        return LowCard(pos, legal);
    }
    if (iNeed || oppNeeds) {
        for (Mask m = beaters; m != 0; m &= m - 1) {
            if (HoldsAgainstLater(pos, LowestBit(m), led))
                return LowestBit(m);
        }
    }
    return LowCard(pos, legal);
}

} // namespace

int Position::winnerPos() const
{
    int best = 0;
    for (int p = 1; p < trickLen; ++p) {
        if (Beats(trickBit[static_cast<std::size_t>(p)], trickBit[static_cast<std::size_t>(best)],
                  trump))
            best = p;
    }
    return best;
}

void Position::play(int bit)
{
    const int seat = toPlay();
    hand[seat] &= ~(Mask{1} << bit);
    trickBit[static_cast<std::size_t>(trickLen++)] = bit;
    if (trickLen == 4) {
        const int winner = SeatAt(leader, winnerPos());
        ++won[winner];
        leader = winner;
        trickLen = 0;
        --tricksLeft;
    }
}

int PolicyCard(const Position& pos)
{
    const Mask legal = pos.legal(pos.toPlay());
    if ((legal & (legal - 1)) == 0)
        return LowestBit(legal);
    return pos.trickLen == 0 ? LeadCard(pos, legal) : FollowCard(pos, legal);
}

void PlayOut(Position& pos)
{
    while (pos.tricksLeft > 0)
        pos.play(PolicyCard(pos));
}

} // namespace halbeet::expert

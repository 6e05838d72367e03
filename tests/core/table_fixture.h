// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Small hand-built game states for the rule tests: a few cards per seat, a trump, a trick in
// progress and the cards already gone.

#include <initializer_list>
#include <ostream>

#include "core/computer_play.h"
#include "core/state.h"
#include "core/suits.h"

namespace halbeet {

inline std::ostream& operator<<(std::ostream& os, const TCardFace& c)
{
    return os << '(' << c.Suite << ',' << c.Number << ')';
}

inline std::ostream& operator<<(std::ostream& os, const TTrickCard& c)
{
    return os << '(' << c.Suite << ',' << c.Number << " seat " << c.Seat << ')';
}

namespace test {

constexpr TCardFace C(int n) { return {Clubs, n}; }
constexpr TCardFace S(int n) { return {Spades, n}; }
constexpr TCardFace H(int n) { return {Hearts, n}; }
constexpr TCardFace D(int n) { return {Diamonds, n}; }

// One play to the trick: who played which card.
struct Play {
    int seat;
    TCardFace card;
};

class Table {
public:
    explicit Table(std::int32_t trump)
    {
        st.Trump = trump;
        for (int s = 1; s <= 4; ++s)
            st.Bids[s] = 3;
    }

    Table& hand(int seat, std::initializer_list<TCardFace> cards)
    {
        st.Hands[seat].fill(NoCard);
        int k = 0;
        for (const TCardFace& c : cards)
            st.Hands[seat][++k] = c;
        st.HandCount[seat] = k;
        SplitBySuit(st.Hands[seat], st.Splits[seat]);
        return *this;
    }

    // Cards gone in earlier tricks.
    Table& gone(std::initializer_list<TCardFace> cards)
    {
        for (const TCardFace& c : cards) {
            AddToSplit(c, st.PlayedCards);
            ++st.CardsPlayed;
        }
        return *this;
    }

    // The current trick so far, led card first; these cards count as played as well.
    Table& trick(std::initializer_list<Play> plays)
    {
        int p = 0;
        for (const Play& play : plays) {
            st.Trick[++p] = TTrickCard{play.card.Suite, play.card.Number, play.seat};
            AddToSplit(play.card, st.PlayedCards);
            ++st.CardsPlayed;
        }
        st.TrickPos = p + 1;
        return *this;
    }

    Table& bid(int seat, std::int32_t stored)
    {
        st.Bids[seat] = stored;
        return *this;
    }

    Table& won(int seat, std::int32_t tricks)
    {
        st.TricksWon[seat] = tricks;
        return *this;
    }

    TCardFace choose(int seat) const { return ChooseComputerCard(st, ProfileOf(seat)); }

    TGameState st;
};

} // namespace test
} // namespace halbeet

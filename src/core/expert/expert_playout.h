// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Expert's compact deal: hands as bit masks, the trick rules on them, and a fast play-out
// policy that finishes a deal whose four hands are all known (a sampled deal).

#include <array>
#include <bit>
#include <cstdint>

#include "core/cards.h"

namespace halbeet::expert {

// One bit per card: suit s takes the 16 bits from 16 (s - 1), rank 2..ace at bits 0..12 of them,
// so a higher bit within a suit is a higher card.
using Mask = std::uint64_t;

constexpr int CardBit(std::int32_t suit, std::int32_t number)
{
    return (suit - 1) * 16 + PlayRank(number) - 2;
}
constexpr Mask BitOf(std::int32_t suit, std::int32_t number)
{
    return Mask{1} << CardBit(suit, number);
}
constexpr Mask BitOf(TCardFace c)
{
    return BitOf(c.Suite, c.Number);
}
constexpr int SuitOfBit(int bit)
{
    return bit / 16 + 1;
}
// 2..14, the ace on top.
constexpr int RankOfBit(int bit)
{
    return bit % 16 + 2;
}
constexpr TCardFace FaceOfBit(int bit)
{
    return TCardFace{SuitOfBit(bit), RankOfBit(bit) == 14 ? Ace : RankOfBit(bit)};
}
constexpr Mask SuitMask(std::int32_t suit)
{
    return Mask{0x1FFF} << ((suit - 1) * 16);
}
constexpr Mask kAllCards = SuitMask(1) | SuitMask(2) | SuitMask(3) | SuitMask(4);

inline int LowestBit(Mask m)
{
    return std::countr_zero(m);
}
inline int HighestBit(Mask m)
{
    return 63 - std::countl_zero(m);
}
inline int Count(Mask m)
{
    return std::popcount(m);
}

// Does card a (already winning) stay ahead of card b played after it? Matches TrickWinner: a
// card of another suit than the winner's takes over only when it is a trump over a non-trump.
constexpr bool Beats(int b, int a, std::int32_t trump)
{
    if (SuitOfBit(b) == SuitOfBit(a))
        return b > a;
    return SuitOfBit(b) == trump;
}

// A deal in play with every hand known.
struct Position {
    std::array<Mask, 5> hand{}; // seats 1..4
    std::int32_t trump = 0;
    std::array<int, 4> trickBit{}; // cards of the trick in progress, in play order
    int trickLen = 0;
    int leader = 0;
    std::array<int, 5> won{};  // tricks taken per seat
    std::array<int, 5> want{}; // tricks each seat bid (a guess where the bid is not known)
    int tricksLeft = 13;

    int toPlay() const { return (leader - 1 + trickLen) % 4 + 1; }
    int winnerPos() const; // play position (0-based) of the card winning the trick so far
    Mask legal(int seat) const
    {
        if (trickLen == 0)
            return hand[seat];
        const Mask follow = hand[seat] & SuitMask(SuitOfBit(trickBit[0]));
        return follow != 0 ? follow : hand[seat];
    }
    // Plays the card of the seat to play; a complete trick is taken at once.
    void play(int bit);
};

// The play-out policy's card for the seat to play: a greedy player that sees all four hands
// and plays to make its bid and to beat the opponents'.
int PolicyCard(const Position& pos);
// Plays the deal to its end with PolicyCard for every seat.
void PlayOut(Position& pos);

} // namespace halbeet::expert

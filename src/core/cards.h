// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Cards, hands, the deck and the seats.
//
// The game counts from 1 everywhere (slots 1..13, deck positions 1..52, suits 1..4,
// seats 1..4), so every array here keeps index 0 unused and is indexed exactly as the
// game speaks of it. That keeps the rule code readable next to the rules themselves.

#include <array>
#include <cstdint>

namespace halbeet {

// Suit codes. The colour pairs matter: trump is the other suit of the cut card's colour.
enum Suit : std::int32_t { Clubs = 1, Spades = 2, Hearts = 3, Diamonds = 4 };

inline constexpr std::int32_t Ace = 1;
inline constexpr std::int32_t Jack = 11;
inline constexpr std::int32_t Queen = 12;
inline constexpr std::int32_t King = 13;

struct TCardFace {
    std::int32_t Suite = 0;  // 1..4 a suit, 0 no card (negative values are backs on a sprite)
    std::int32_t Number = 0; // 1 ace, 2..10, 11 jack, 12 queen, 13 king; 0 no card

    friend constexpr bool operator==(const TCardFace&, const TCardFace&) = default;
};

inline constexpr TCardFace NoCard{};

// Playing strength: the ace is stored as 1 but ranks above the king.
constexpr std::int32_t PlayRank(std::int32_t number) { return number == Ace ? 14 : number; }

// The other suit of the same colour: clubs <-> spades, hearts <-> diamonds.
constexpr std::int32_t SameColourSuit(std::int32_t suit)
{
    switch (suit) {
    case Clubs: return Spades;
    case Spades: return Clubs;
    case Hearts: return Diamonds;
    case Diamonds: return Hearts;
    default: return 0;
    }
}

using THand = std::array<TCardFace, 14>;  // slots 1..13
using TDeck = std::array<TCardFace, 53>;  // positions 1..52
using TCardList = std::array<TCardFace, 14>; // a per-suit list, positions 1..count

// Seats: 1 the human (bottom), 2 right, 3 the partner (top), 4 left. Turns go 1 -> 2 -> 3 -> 4.
template <typename T>
using PerSeat = std::array<T, 5>; // seats 1..4

constexpr int NextSeat(int seat) { return seat % 4 + 1; }
constexpr int PartnerOf(int seat) { return (seat + 1) % 4 + 1; }

// Fills all 52 positions with the initial order: suit ((p-1) mod 4) + 1, rank ((p-1) mod 13) + 1.
void InitDeck(TDeck& deck);

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The whole state of a game and of the deal in progress. The program keeps one instance
// for the run; tests and the simulator make their own.

#include "core/bids.h"
#include "core/cards.h"

namespace halbeet {

// A hand split into four per-suit lists (suit codes 1..4), each with its count.
struct TSuitSplit {
    std::array<TCardList, 5> Lists{};   // Lists[suit][1..Counts[suit]]
    std::array<std::int32_t, 5> Counts{}; // Counts[suit]
};

// One card put into a trick. Suite 0: nobody has played at this position yet.
struct TTrickCard {
    std::int32_t Suite = 0;
    std::int32_t Number = 0;
    std::int32_t Seat = 0;

    friend constexpr bool operator==(const TTrickCard&, const TTrickCard&) = default;
};

using TTrick = std::array<TTrickCard, 5>; // play positions 1..4

struct TGameState {
    TDeck Deck{};
    PerSeat<THand> Hands{};
    PerSeat<std::int32_t> HandCount{};
    PerSeat<TSuitSplit> Splits{};
    std::int32_t Trump = 0;
    TCardFace CutCard{};
    // After a deal: the dealer is seat DealerCounter (seat 4 when 0); the seat after bids first.
    std::int32_t DealerCounter = 0;
    PerSeat<std::int32_t> Bids{};
    PerSeat<std::int32_t> TricksWon{};
    TTrick Trick{};
    std::int32_t TrickPos = 1;
    TCardFace ComputerCard{};
    TTrickCard WinningCard{};
    // 52 or more: no deal in progress.
    std::int32_t CardsPlayed = 0;
    TSuitSplit PlayedCards{};
    PerSeat<std::int32_t> Scores{};
    std::int32_t ScoreRow = 1;   // next score-sheet row, 8 = the sheet scrolls
    std::int32_t GameWinner = 0; // seat that won the game, 0 while nobody has
    std::int32_t PlayDelay = 100;  // ms a computer seat waits before it plays
    std::int32_t TrickPause = 1000; // ms a completed trick stays on the table
};

// The dealer of the current deal and the seat that bids first and leads the first trick.
constexpr int DealerSeat(std::int32_t dealerCounter) { return dealerCounter == 0 ? 4 : dealerCounter; }
constexpr int FirstSeat(std::int32_t dealerCounter) { return dealerCounter + 1; }

} // namespace halbeet

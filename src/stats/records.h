// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the statistics keep of a scored deal and of a finished game, and what the
// Statistics window shows. Plain values: the game flow fills them, the store keeps them.

#include <QDateTime>
#include <QString>

#include <array>
#include <vector>

namespace halbeet {

// One seat's part of a scored deal. Seats are 1 (the player) to 4; index 0 is seat 1.
struct SeatDealStats {
    int bid = 0;        // stored form: 2..6, or 14..26 for 7..13 tricks
    int tricks = 0;     // tricks won in the deal
    int change = 0;     // +bid when made, -bid otherwise
    int scoreAfter = 0; // the seat's score once the deal is scored
};

struct DealStats {
    QString gameId;     // the same for every deal of one game, kept by a saved game
    int dealNumber = 0; // 1, 2, ... for the scored deals of that game
    QDateTime date;     // when the deal was scored
    QString level;      // the computer players' level: "CLASSIC" or "EXPERT"
    int trump = 0;      // suit 1..4
    int dealer = 0;     // seat 1..4
    std::array<SeatDealStats, 4> seats{};
};

struct GameStats {
    QString gameId;
    QDateTime date; // when the game was won
    int winner = 0; // the seat whose score reached 41 (its side won)
    int deals = 0;  // scored deals in the game
    std::array<int, 4> finalScores{};
};

// The player's bids of one size (in tricks) and how many of them he made.
struct BidSuccess {
    int tricks = 0;
    int bids = 0;
    int made = 0;
};

// One point of the win-rate curve: after the game finished at date, the player's side had
// won this share (0..1) of all its finished games.
struct WinRatePoint {
    QDateTime date;
    int games = 0;
    double rate = 0;
};

struct StatsSummary {
    int gamesPlayed = 0;                // finished games
    int gamesWon = 0;                   // ... won by the player's side (seats 1 and 3)
    int dealsPlayed = 0;                // scored deals
    double averageChange = 0;           // the player's mean score change per scored deal
    int longestWinningStreak = 0;       // games in a row won by the player's side
    std::vector<BidSuccess> bidSuccess; // sizes the player has bid, ascending
    // The current game's four scores after each of its recorded deals, in deal order.
    std::vector<std::array<int, 4>> currentGameScores;
    std::vector<WinRatePoint> winRate;
};

} // namespace halbeet

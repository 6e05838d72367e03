// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts of the Statistics window in the interface's language. The game fills them in from
// its translations and hands them to the window's module through StatisticsViewSetup; the
// module has no translations of its own.

#include <QString>

namespace halbeet {

// The Statistics window, its menu item and the statistics' error notices.
struct StatisticsTexts {
    QString menuItem;
    QString caption;
    QString gamesPlayed;
    QString gamesWon;
    QString gamesWonOf;  // %1 games won of %2 finished, %3 the share
    QString noGamesYet;  // in place of the games won before any game is finished, and of the
                         // average change before any deal is scored
    QString winningStreak;
    QString dealsScored;
    QString averageChange;
    QString bidsHeading;
    QString bidTricks;  // columns of the bid table
    QString bidCount;
    QString bidMade;
    QString bidRate;
    QString noBids;
    QString scoreChart;
    QString scoreAxisDeal;
    QString scoreAxisPoints;
    QString noScores;
    QString winRateChart;
    QString winRateAxisGames;
    QString winRateAxisRate;
    QString noGames;
    QString resetButton;
    QString closeButton;
    QString resetQuestion;
    QString unavailable;      // shown in the window when the database cannot be read
    QString windowMissing;    // the window's module is missing; %1 the loader's reason
    QString errorDamaged;     // %1 the database's path
    QString errorLocked;
    QString errorWriteFailed; // %1 the database's path
    QString errorUnavailable;
};

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The run's statistics: the game flow reports scored deals and won games here, and the
// Statistics command shows them. The database opens at the first report or opening of the
// window, and the window's module (with Qt Charts) loads only when the window is opened.
// A database error is shown once per run, in the current language, after the report that
// met it returns; the game never waits on it.
//
// What the flow calls:
//   startGame()            at every new game (the first one included): a fresh game id
//   resumeGame(id, n)      after loading a saved game that had n scored deals under id
//   dealScored(deal)       once a deal is scored (never for a passed deal); the game id,
//                          the deal number and the date are filled in when left empty
//   gameWon(game)          once the game is won; id, deals and date filled in likewise
// A deal or game reported twice (say after a resume) is refused by the database's key.

#include "stats/records.h"
#include "stats/stats_store.h"

#include <QString>

#include <array>
#include <memory>

class QWidget;

namespace halbeet {

class Statistics {
  public:
    explicit Statistics(QString folder = StatsStore::defaultFolder());
    ~Statistics();
    Statistics(const Statistics&) = delete;
    Statistics& operator=(const Statistics&) = delete;

    QString startGame();
    void resumeGame(const QString& gameId, int scoredDeals);
    QString currentGameId() const { return m_gameId; }
    int scoredDeals() const { return m_scoredDeals; }

    RecordResult dealScored(DealStats deal);
    RecordResult gameWon(GameStats game);

    // Shows the Statistics window modally over parent; names are seats 1..4's.
    void showWindow(QWidget* parent, const std::array<QString, 4>& names);

    StatsStore& store() { return m_store; }

    // Where the window's module is looked for; the default is ../lib/<multiarch>/halbeet
    // from the program's folder (/usr/games -> /usr/lib/x86_64-linux-gnu/halbeet). For tests.
    static void setModuleDirectory(const QString& folder);
    static QString moduleDirectory();

  private:
    void report(StatsError error) const;

    StatsStore m_store;
    QString m_gameId;
    int m_scoredDeals = 0;
};

} // namespace halbeet

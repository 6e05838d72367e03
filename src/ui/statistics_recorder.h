// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Feeds the statistics from the game as the model reports it: every new game gets its id,
// every scored deal and won game is recorded with the level its computer seats played.

#include "core/game.h"
#include "table/seat.h"

#include <QString>

#include <memory>

namespace halbeet {

class Statistics;

class StatisticsRecorder final : private GameListener {
public:
    explicit StatisticsRecorder(GameModel& game);
    ~StatisticsRecorder() override;
    StatisticsRecorder(const StatisticsRecorder&) = delete;
    StatisticsRecorder& operator=(const StatisticsRecorder&) = delete;

    // The statistics of the player, opened at the first use.
    Statistics& statistics();
    // The computer seats play Expert (true) or Classic in the deals from now on.
    void setExpertLevel(bool expert) { m_expert = expert; }
    // A saved game has been loaded: its deals go on counting under its own id.
    void gameResumed();
    // A step of a game at a table over the network, as the player's seat was told it (turned:
    // seat 1 his own, 3 his partner's). Its scored deals and its end are recorded under an id
    // of their own, the partner's kind (a person or a computer) in place of the level.
    void networkStep(const SeatEvent& event, bool partnerIsPerson);
    // The player has left that table: a game there later is another game.
    void networkTableLeft() { m_networkGameId.clear(); }

private:
    void gameEvent(const GameModel& game, const GameEvent& event) override;

    GameModel& m_game;
    std::unique_ptr<Statistics> m_statistics;
    bool m_expert = false;
    // The scores as the deal began, for each seat's change when it is scored.
    PerSeat<std::int32_t> m_scoresBeforeDeal{};
    // The game at a table over the network, once one of its deals has been scored.
    QString m_networkGameId;
};

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
// Records the game's scored deals and won games in the statistics.

#include "ui/statistics_recorder.h"

#include "ui/statistics.h"

namespace halbeet {

StatisticsRecorder::StatisticsRecorder(GameModel& game) : m_game(game) { m_game.addListener(this); }

StatisticsRecorder::~StatisticsRecorder() { m_game.removeListener(this); }

Statistics& StatisticsRecorder::statistics()
{
    if (!m_statistics)
        m_statistics = std::make_unique<Statistics>();
    return *m_statistics;
}

void StatisticsRecorder::gameResumed()
{
    if (m_game.gameTag().empty())
        m_game.setGameTag(statistics().startGame().toStdString());
    else
        statistics().resumeGame(QString::fromStdString(m_game.gameTag()),
                                static_cast<int>(m_game.scoreRows().size()));
    // The deal on the table has not been scored: the scores are still those it began with.
    m_scoresBeforeDeal = m_game.state().Scores;
}

void StatisticsRecorder::gameEvent(const GameModel& game, const GameEvent& event)
{
    switch (event.kind) {
    case GameEvent::Kind::DealStarted:
        // The first deal of a game names it for the statistics.
        if (game.gameTag().empty())
            m_game.setGameTag(statistics().startGame().toStdString());
        m_scoresBeforeDeal = game.state().Scores;
        break;
    case GameEvent::Kind::DealScored: {
        const TGameState& s = game.state();
        DealStats deal;
        deal.level = m_expert ? QStringLiteral("EXPERT") : QStringLiteral("CLASSIC");
        deal.trump = s.Trump;
        deal.dealer = game.dealer();
        for (std::size_t seat = 1; seat <= 4; ++seat) {
            deal.seats[seat - 1] = {s.Bids[seat], s.TricksWon[seat], s.Scores[seat] - m_scoresBeforeDeal[seat],
                                    s.Scores[seat]};
        }
        statistics().dealScored(deal);
        break;
    }
    case GameEvent::Kind::GameWon: {
        GameStats won;
        won.winner = event.seat;
        for (std::size_t seat = 1; seat <= 4; ++seat)
            won.finalScores[seat - 1] = game.state().Scores[seat];
        statistics().gameWon(won);
        break;
    }
    default:
        break;
    }
}

void StatisticsRecorder::networkStep(const SeatEvent& event, bool partnerIsPerson)
{
    const TableView& view = event.view;
    switch (event.kind) {
    case SeatEvent::Kind::NewGame:
        m_networkGameId.clear();
        break;
    case SeatEvent::Kind::DealScored: {
        if (view.scoreRows.empty())
            break;
        // A table joined in the middle of its game counts from the first deal seen scored.
        if (m_networkGameId.isEmpty())
            m_networkGameId = StatsStore::newGameId();
        const PerSeat<std::int32_t>& after = view.scoreRows.back();
        const PerSeat<std::int32_t> before = view.scoreRows.size() >= 2 ? view.scoreRows[view.scoreRows.size() - 2]
                                                                         : PerSeat<std::int32_t>{};
        DealStats deal;
        deal.gameId = m_networkGameId;
        deal.dealNumber = static_cast<int>(view.scoreRows.size());
        deal.level = partnerIsPerson ? QStringLiteral("NETWORK-PARTNER-PERSON") : QStringLiteral("NETWORK-PARTNER-COMPUTER");
        deal.trump = view.seat.Trump;
        deal.dealer = view.dealer();
        for (std::size_t seat = 1; seat <= 4; ++seat)
            deal.seats[seat - 1] = {view.seat.Bids[seat], view.seat.TricksWon[seat], after[seat] - before[seat], after[seat]};
        statistics().dealScored(deal);
        break;
    }
    case SeatEvent::Kind::GameWon: {
        if (m_networkGameId.isEmpty())
            break;
        GameStats won;
        won.gameId = m_networkGameId;
        won.winner = view.winner;
        won.deals = static_cast<int>(view.scoreRows.size());
        for (std::size_t seat = 1; seat <= 4; ++seat)
            won.finalScores[seat - 1] = view.seat.Scores[seat];
        statistics().gameWon(won);
        m_networkGameId.clear();
        break;
    }
    default:
        break;
    }
}

} // namespace halbeet

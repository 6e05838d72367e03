// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Statistics window: the player's figures, his bids by size, the current game's scores
// deal by deal and his side's win rate over the games, with Reset and Close.

#include "stats_window/statistics_view.h"

#include <QDialog>

class QChart;
class QFormLayout;
class QChartView;
class QLabel;
class QPushButton;
class QStackedLayout;
class QTableWidget;

namespace halbeet {

class StatisticsWindow : public QDialog, public StatisticsView {
  public:
    explicit StatisticsWindow(const StatisticsViewSetup& setup);

    QDialog* dialog() override { return this; }
    void showSummary(const StatsSummary& summary) override;
    void showUnavailable(const QString& text) override;

  private:
    QLabel* addFigure(QFormLayout* form, const QString& caption, const char* name);
    QChartView* makeChartView(const char* name);
    void fillBids(const StatsSummary& summary);
    void fillScoreChart(const StatsSummary& summary);
    void fillWinRateChart(const StatsSummary& summary);

    StatisticsViewSetup m_setup;
    QLabel* m_unavailable = nullptr;
    QLabel* m_gamesPlayed = nullptr;
    QLabel* m_gamesWon = nullptr;
    QLabel* m_streak = nullptr;
    QLabel* m_deals = nullptr;
    QLabel* m_average = nullptr;
    QTableWidget* m_bids = nullptr;
    QChartView* m_scoreView = nullptr;
    QChartView* m_winRateView = nullptr;
    QStackedLayout* m_scorePages = nullptr;
    QStackedLayout* m_winRatePages = nullptr;
    QLabel* m_noScores = nullptr;
    QLabel* m_noGames = nullptr;
    QPushButton* m_reset = nullptr;
};

} // namespace halbeet

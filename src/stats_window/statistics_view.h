// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The seam between the game and the Statistics window. The window and its charts live in a
// module that the game loads only when the window is first asked for, so Qt Charts costs
// nothing at start-up. Only this header is shared: an interface with virtual functions and
// plain values, no Qt signals, and one C entry point looked up by name.

#include "stats/records.h"
#include "stats_window/statistics_texts.h"

#include <QString>
#include <Qt>

#include <array>
#include <functional>

class QDialog;
class QWidget;

namespace halbeet {

class StatisticsView {
  public:
    virtual ~StatisticsView() = default;
    // The window itself; deleting it deletes the view.
    virtual QDialog* dialog() = 0;
    virtual void showSummary(const StatsSummary& summary) = 0;
    // The database could not be read: show text instead of the figures.
    virtual void showUnavailable(const QString& text) = 0;
};

struct StatisticsViewSetup {
    StatisticsTexts texts;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    std::array<QString, 4> names;  // seats 1..4, for the chart's legend
    // How the game writes a figure ("-3", "+1.7") in its language: numberText().
    std::function<QString(const QString&)> figure;
    std::function<void()> onReset; // the Reset button (the caller asks and refreshes)
    QWidget* parent = nullptr;
};

using CreateStatisticsViewFunction = StatisticsView* (*)(const StatisticsViewSetup&);
inline constexpr char CreateStatisticsViewSymbol[] = "halbeet_create_statistics_view";
inline constexpr char StatisticsModuleName[] = "halbeet-statistics";

} // namespace halbeet

// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics window and the module's entry point.

#include "stats_window/statistics_window.h"

#include <QChart>
#include <QChartView>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace halbeet {

namespace {

// The player's side in blues, the opponents in reds, so the two teams read at a glance.
const std::array<QColor, 4> SeatColours = {QColor(0x1f, 0x4e, 0xb4), QColor(0xc0, 0x39, 0x2b),
                                           QColor(0x5d, 0x9c, 0xec), QColor(0xe6, 0x7e, 0x22)};
constexpr int WinningScore = 41;

QString signedNumber(double value)
{
    const QString text = QString::number(std::abs(value), 'f', 1);
    return value > 0.05 ? QLatin1Char('+') + text : value < -0.05 ? QLatin1Char('-') + text : text;
}

QString percent(int part, int whole)
{
    return whole > 0 ? QStringLiteral("%1%").arg(std::lround(100.0 * part / whole))
                     : QStringLiteral("-");
}


QLabel* makeNote(const QString& text, const char* name)
{
    auto label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Ticks on whole numbers only, each label once, at most maxTicks of them: "%d" truncates, so
// ticks between whole numbers would repeat a label. The range reaches a little beyond the data
// on both sides, so a point at either end is drawn whole rather than cut by the plot's edge.
QValueAxis* makeAxis(const QString& title, int low, int high, int maxTicks)
{
    if (high <= low) {
        // One value: centred, with its neighbours on either side.
        --low;
        ++high;
    }
    const int span = high - low;
    int step = 1;
    for (int scale = 1; step * (maxTicks - 1) < span; scale *= 10) {
        for (int factor : {1, 2, 5}) {
            step = factor * scale;
            if (step * (maxTicks - 1) >= span)
                break;
        }
    }
    const double margin = std::max(0.05 * span, 0.4);
    auto axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setRange(low - margin, high + margin);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%d"));
    return axis;
}

} // namespace

StatisticsWindow::StatisticsWindow(const StatisticsViewSetup& setup)
    : QDialog(setup.parent), m_setup(setup)
{
    const StatisticsTexts& t = m_setup.texts;
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(t.caption);
    setLayoutDirection(m_setup.direction);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto figures = new QFormLayout;
    figures->setObjectName(QStringLiteral("figures"));
    m_gamesPlayed = addFigure(figures, t.gamesPlayed, "gamesPlayed");
    m_gamesWon = addFigure(figures, t.gamesWon, "gamesWon");
    m_streak = addFigure(figures, t.winningStreak, "winningStreak");
    m_deals = addFigure(figures, t.dealsScored, "dealsScored");
    m_average = addFigure(figures, t.averageChange, "averageChange");

    m_bids = new QTableWidget(0, 4);
    m_bids->setObjectName(QStringLiteral("bidTable"));
    m_bids->setHorizontalHeaderLabels({t.bidTricks, t.bidCount, t.bidMade, t.bidRate});
    m_bids->verticalHeader()->hide();
    // Compact rows: the sizes from 2 to 7 tricks, the usual bids, fit without scrolling.
    m_bids->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_bids->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_bids->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_bids->setSelectionMode(QAbstractItemView::NoSelection);
    m_bids->setFocusPolicy(Qt::NoFocus);
    auto bidsBox = new QGroupBox(t.bidsHeading);
    bidsBox->setObjectName(QStringLiteral("bidsBox"));
    auto bidsLayout = new QVBoxLayout(bidsBox);
    bidsLayout->addWidget(m_bids);

    auto top = new QHBoxLayout;
    top->addLayout(figures, 1);
    top->addWidget(bidsBox, 1);

    m_scoreView = makeChartView("scoreChart");
    m_noScores = makeNote(t.noScores, "noScores");
    m_winRateView = makeChartView("winRateChart");
    m_noGames = makeNote(t.noGames, "noGames");
    auto scoreBox = new QWidget;
    m_scorePages = new QStackedLayout(scoreBox);
    m_scorePages->addWidget(m_scoreView);
    m_scorePages->addWidget(m_noScores);
    auto winRateBox = new QWidget;
    m_winRatePages = new QStackedLayout(winRateBox);
    m_winRatePages->addWidget(m_winRateView);
    m_winRatePages->addWidget(m_noGames);
    auto charts = new QHBoxLayout;
    charts->addWidget(scoreBox, 1);
    charts->addWidget(winRateBox, 1);

    m_unavailable = makeNote(t.unavailable, "unavailable");
    m_unavailable->hide();

    m_reset = new QPushButton(t.resetButton);
    m_reset->setObjectName(QStringLiteral("resetButton"));
    m_reset->setAutoDefault(false);
    auto close = new QPushButton(t.closeButton);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_reset, &QPushButton::clicked, this, [this] {
        if (m_setup.onReset)
            m_setup.onReset();
    });
    auto buttons = new QHBoxLayout;
    buttons->addWidget(m_reset);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto layout = new QVBoxLayout(this);
    layout->addWidget(m_unavailable);
    layout->addLayout(top);
    layout->addLayout(charts, 1);
    layout->addLayout(buttons);
    resize(860, 620);
}

QLabel* StatisticsWindow::addFigure(QFormLayout* form, const QString& caption, const char* name)
{
    auto value = new QLabel;
    value->setObjectName(QLatin1String(name));
    value->setTextFormat(Qt::PlainText);
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    form->addRow(caption, value);
    return value;
}

QChartView* StatisticsWindow::makeChartView(const char* name)
{
    auto chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(300, 220);
    // Numbers and time run left to right in both languages, as on the table.
    view->setLayoutDirection(Qt::LeftToRight);
    return view;
}

void StatisticsWindow::showSummary(const StatsSummary& s)
{
    m_unavailable->hide();
    m_gamesPlayed->setText(QString::number(s.gamesPlayed));
    // Figures are written as everywhere in the game: "+1.7" must not become "1.7+" in Arabic.
    const auto figure = [this](const QString& text) {
        return m_setup.figure ? m_setup.figure(text) : text;
    };
    // "Won by your side: 3 of 5 (60%)"; before the first game "none yet", not a bare "0 (-)".
    const StatisticsTexts& t = m_setup.texts;
    // The sentence keeps its language's order; only its share is a figure.
    m_gamesWon->setText(s.gamesPlayed > 0 ? t.gamesWonOf.arg(s.gamesWon)
                                                .arg(s.gamesPlayed)
                                                .arg(figure(percent(s.gamesWon, s.gamesPlayed)))
                                          : t.noGamesYet);
    m_streak->setText(QString::number(s.longestWinningStreak));
    m_deals->setText(QString::number(s.dealsPlayed));
    // Before the first scored deal there is no average: said as for the games won.
    m_average->setText(s.dealsPlayed > 0 ? figure(signedNumber(s.averageChange)) : t.noGamesYet);
    fillBids(s);
    fillScoreChart(s);
    fillWinRateChart(s);
}

void StatisticsWindow::showUnavailable(const QString& text)
{
    m_unavailable->setText(text);
    m_unavailable->show();
    showSummary(StatsSummary{});
}

void StatisticsWindow::fillBids(const StatsSummary& s)
{
    m_bids->clearSpans();
    m_bids->setRowCount(0);
    if (s.bidSuccess.empty()) {
        m_bids->setRowCount(1);
        m_bids->setSpan(0, 0, 1, m_bids->columnCount());
        auto note = new QTableWidgetItem(m_setup.texts.noBids);
        note->setTextAlignment(Qt::AlignCenter);
        m_bids->setItem(0, 0, note);
        return;
    }
    m_bids->setRowCount(int(s.bidSuccess.size()));
    int row = 0;
    for (const BidSuccess& bid : s.bidSuccess) {
        const QStringList cells = {QString::number(bid.tricks), QString::number(bid.bids),
                                   QString::number(bid.made), percent(bid.made, bid.bids)};
        for (int column = 0; column < cells.size(); ++column) {
            auto item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignCenter);
            m_bids->setItem(row, column, item);
        }
        ++row;
    }
}

void StatisticsWindow::fillScoreChart(const StatsSummary& s)
{
    if (s.currentGameScores.empty()) {
        m_scorePages->setCurrentWidget(m_noScores);
        return;
    }
    m_scorePages->setCurrentWidget(m_scoreView);
    QChart* chart = m_scoreView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(m_setup.texts.scoreChart);

    const int deals = int(s.currentGameScores.size());
    int low = 0;
    int high = WinningScore;
    std::array<QLineSeries*, 4> series{};
    for (std::size_t seat = 0; seat < 4; ++seat) {
        series[seat] = new QLineSeries;
        // The legend reads its labels as rich text; a name is shown as typed.
        series[seat]->setName(m_setup.names[seat].toHtmlEscaped());
        series[seat]->setPen(QPen(SeatColours[seat], seat == 0 ? 3 : 2));
        series[seat]->setPointsVisible(deals <= 20);
        series[seat]->append(0, 0);
    }
    for (int deal = 0; deal < deals; ++deal) {
        for (std::size_t seat = 0; seat < 4; ++seat) {
            const int score = s.currentGameScores[std::size_t(deal)][seat];
            series[seat]->append(deal + 1, score);
            low = std::min(low, score);
            high = std::max(high, score);
        }
    }
    // The winning line.
    auto target = new QLineSeries;
    target->setName(QString::number(WinningScore));
    QPen dashed(Qt::darkGray, 1, Qt::DashLine);
    target->setPen(dashed);
    target->append(0, WinningScore);
    target->append(std::max(deals, 1), WinningScore);

    auto x = makeAxis(m_setup.texts.scoreAxisDeal, 0, deals, 8);
    auto y = makeAxis(m_setup.texts.scoreAxisPoints, low, high, 9);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* line : series) {
        chart->addSeries(line);
        line->attachAxis(x);
        line->attachAxis(y);
    }
    chart->addSeries(target);
    target->attachAxis(x);
    target->attachAxis(y);
    chart->legend()->markers(target).first()->setVisible(false);
}

void StatisticsWindow::fillWinRateChart(const StatsSummary& s)
{
    if (s.winRate.empty()) {
        m_winRatePages->setCurrentWidget(m_noGames);
        return;
    }
    m_winRatePages->setCurrentWidget(m_winRateView);
    QChart* chart = m_winRateView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(m_setup.texts.winRateChart);
    chart->legend()->hide();

    auto line = new QLineSeries;
    line->setPen(QPen(SeatColours[0], 3));
    line->setPointsVisible(s.winRate.size() <= 30);
    for (const WinRatePoint& point : s.winRate)
        line->append(point.games, 100.0 * point.rate);
    const int games = int(s.winRate.size());
    auto x = makeAxis(m_setup.texts.winRateAxisGames, 1, games, 8);
    auto y = makeAxis(m_setup.texts.winRateAxisRate, 0, 100, 6);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
}

} // namespace halbeet

extern "C" Q_DECL_EXPORT halbeet::StatisticsView*
halbeet_create_statistics_view(const halbeet::StatisticsViewSetup& setup)
{
    return new halbeet::StatisticsWindow(setup);
}

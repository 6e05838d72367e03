// SPDX-License-Identifier: GPL-3.0-or-later
// The Statistics window: its figures and charts from a filled database, Reset with its
// question, both languages and directions, an unreadable database, a missing module, and the
// game ids and deal numbers the run's statistics hand to the database.

#include "stats/stats_store.h"
#include "stats_window/statistics_view.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/startup.h"
#include "ui/statistics.h"

#include "dialog_helpers.h"
#include "test_support.h"

#include <QChartView>
#include <QGraphicsTextItem>
#include <QLibrary>
#include <QRegularExpression>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QStackedLayout>
#include <QTableWidget>
#include <QTest>
#include <QTextDocument>

using namespace halbeet;
using namespace halbeet::testing;

namespace {

const std::array<QString, 4> Names = {QStringLiteral("Huda"), QStringLiteral("Player2"),
                                      QStringLiteral("Player3"), QStringLiteral("Player4")};

// A deal of bids 3, 4, 3, 2 in which the player (seat 1) takes `playerTricks`.
DealStats deal(int playerTricks, std::array<int, 4> before)
{
    DealStats d;
    d.level = QStringLiteral("CLASSIC");
    d.trump = 2;
    d.dealer = 4;
    const std::array<int, 4> bids = {3, 4, 3, 2};
    const std::array<int, 4> tricks = {playerTricks, 5, 3, 5 - playerTricks};
    for (std::size_t i = 0; i < 4; ++i) {
        d.seats[i].bid = bids[i];
        d.seats[i].tricks = tricks[i];
        d.seats[i].change = tricks[i] >= bids[i] ? bids[i] : -bids[i];
        d.seats[i].scoreAfter = before[i] + d.seats[i].change;
    }
    return d;
}

std::array<int, 4> after(const DealStats& d)
{
    return {d.seats[0].scoreAfter, d.seats[1].scoreAfter, d.seats[2].scoreAfter,
            d.seats[3].scoreAfter};
}

// What the open window shows, read while it is up.
struct Seen {
    QString caption;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    Qt::LayoutDirection chartDirection = Qt::LeftToRight;
    QString gamesPlayed, gamesWon, streak, deals, average;
    QStringList bidRows;
    bool scoreChartShown = false;
    bool winRateChartShown = false;
    QStringList scoreSeries; // name: points
    QList<QPointF> winRate;
    bool unavailableShown = false;
    QString resetText;
};

Seen look(QWidget* window)
{
    Seen seen;
    seen.caption = window->windowTitle();
    seen.direction = window->layoutDirection();
    // The figures come wrapped in left-to-right marks; compare what they say.
    auto text = [window](const char* name) {
        auto* label = window->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text().remove(QChar(0x200E)) : QStringLiteral("<missing>");
    };
    seen.gamesPlayed = text("gamesPlayed");
    seen.gamesWon = text("gamesWon");
    seen.streak = text("winningStreak");
    seen.deals = text("dealsScored");
    seen.average = text("averageChange");
    if (auto* table = window->findChild<QTableWidget*>(QStringLiteral("bidTable"))) {
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columnCount(); ++column) {
                if (const QTableWidgetItem* item = table->item(row, column))
                    cells << item->text();
            }
            seen.bidRows << cells.join(QLatin1Char(' '));
        }
    }
    if (auto* view = window->findChild<QChartView*>(QStringLiteral("scoreChart"))) {
        seen.scoreChartShown = view->isVisible();
        seen.chartDirection = view->layoutDirection();
        for (QAbstractSeries* series : view->chart()->series()) {
            auto* line = static_cast<QLineSeries*>(series);
            QStringList ys;
            for (const QPointF& p : line->points())
                ys << QString::number(p.y());
            seen.scoreSeries << line->name() + QLatin1String(": ") + ys.join(QLatin1Char(','));
        }
    }
    if (auto* view = window->findChild<QChartView*>(QStringLiteral("winRateChart"))) {
        seen.winRateChartShown = view->isVisible();
        if (!view->chart()->series().isEmpty())
            seen.winRate = static_cast<QLineSeries*>(view->chart()->series().first())->points();
    }
    if (auto* label = window->findChild<QLabel*>(QStringLiteral("unavailable")))
        seen.unavailableShown = label->isVisible();
    if (auto* reset = window->findChild<QPushButton*>(QStringLiteral("resetButton")))
        seen.resetText = reset->text();
    return seen;
}

// A summary of `games` finished games, the player's side winning every third, and a current
// game of `deals` scored deals whose scores climb and fall far below zero.
StatsSummary summaryOf(int games, int deals)
{
    StatsSummary s;
    s.gamesPlayed = games;
    for (int game = 1; game <= games; ++game) {
        s.gamesWon += game % 3 == 1 ? 1 : 0;
        s.winRate.push_back({QDateTime(), game, double(s.gamesWon) / game});
    }
    s.dealsPlayed = deals;
    std::array<int, 4> scores{};
    for (int deal = 1; deal <= deals; ++deal) {
        scores = {scores[0] + (deal % 2 ? 4 : -6), scores[1] + 3, scores[2] - 2,
                  scores[3] + (deal % 5 ? 1 : -9)};
        s.currentGameScores.push_back(scores);
    }
    return s;
}

// The numbers written along a chart's axes, read off the drawn labels: the horizontal axis's
// from left to right, the vertical axis's from bottom to top.
struct AxisLabels {
    QStringList x, y;
};

AxisLabels axisLabels(QChartView* view)
{
    const QRectF plot = view->chart()->plotArea();
    // Numbers, and what Qt Charts leaves of a label that has no room: dots.
    static const QRegularExpression number(QStringLiteral("^-?[\\d.\\x{2026}]+$"));
    QList<QPair<qreal, QString>> x, y;
    for (QGraphicsItem* item : view->scene()->items()) {
        auto* text = dynamic_cast<QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || !number.match(text->toPlainText()).hasMatch())
            continue;
        const QPointF centre = text->sceneBoundingRect().center();
        if (centre.y() > plot.bottom() && centre.x() >= plot.left() - 20 &&
            centre.x() <= plot.right() + 20 &&
            centre.y() < plot.bottom() + 2 * text->sceneBoundingRect().height())
            x.append({centre.x(), text->toPlainText()});
        else if (centre.x() < plot.left() && centre.y() >= plot.top() - 20 &&
                 centre.y() <= plot.bottom() + 20)
            y.append({-centre.y(), text->toPlainText()});
    }
    std::sort(x.begin(), x.end());
    std::sort(y.begin(), y.end());
    AxisLabels labels;
    for (const auto& [where, text] : x)
        labels.x << text;
    for (const auto& [where, text] : y)
        labels.y << text;
    return labels;
}

// What is wrong with an axis's labels: each a whole number, each once, rising, two at least.
QString labelProblems(const QString& axis, const QStringList& labels)
{
    bool whole = labels.size() >= 2;
    for (int i = 0; i < labels.size(); ++i) {
        bool ok = false;
        const int value = labels[i].toInt(&ok);
        whole = whole && ok && (i == 0 || value > labels[i - 1].toInt());
    }
    return whole ? QString()
                 : axis + QStringLiteral(" axis reads \"%1\"; ").arg(labels.join(QLatin1Char(' ')));
}

QPushButton* button(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QLatin1String(name));
}

} // namespace

class TstStatisticsWindow : public QObject {
    Q_OBJECT

  private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        setCurrentLang(QStringLiteral("EN"));
        Statistics::setModuleDirectory(QStringLiteral(HALBEET_STATISTICS_MODULE_DIR));
    }

    void feedNumbersDealsAndRefusesDoubles();
    void showsFiguresAndCharts_data();
    void showsFiguresAndCharts();
    void namesInTheLegendAreText();
    void emptyDatabaseShowsNotesInsteadOfCharts_data();
    void emptyDatabaseShowsNotesInsteadOfCharts();
    void resetAsksFirst();
    void damagedDatabaseIsReportedOnceAndResetStartsOver();
    void missingModuleIsReported();
    void gameMenuHasTheStatisticsCommand_data();
    void gameMenuHasTheStatisticsCommand();
    void chartsReadWellAtAnyCount_data();
    void chartsReadWellAtAnyCount();

  private:
    QString folder() const { return m_dir.path() + QStringLiteral("/Dovelarks/Halbeet"); }

    // Two games of two deals each (the second one current), the first won by seat 3.
    void fill(Statistics& statistics)
    {
        statistics.startGame();
        DealStats d1 = deal(3, {});
        QCOMPARE(statistics.dealScored(d1), RecordResult::Recorded);
        QCOMPARE(statistics.dealScored(deal(1, after(d1))), RecordResult::Recorded);
        QCOMPARE(statistics.gameWon(GameStats{{}, {}, 3, 0, {41, 0, 6, 2}}),
                 RecordResult::Recorded);
        statistics.startGame();
        DealStats d2 = deal(4, {});
        QCOMPARE(statistics.dealScored(d2), RecordResult::Recorded);
        QCOMPARE(statistics.dealScored(deal(3, after(d2))), RecordResult::Recorded);
    }

    QTemporaryDir m_dir;
};

void TstStatisticsWindow::feedNumbersDealsAndRefusesDoubles()
{
    Statistics statistics(folder());
    // The first deal of the run starts a game of its own when the flow has not.
    QCOMPARE(statistics.dealScored(deal(3, {})), RecordResult::Recorded);
    const QString first = statistics.currentGameId();
    QVERIFY(!first.isEmpty());
    QCOMPARE(statistics.scoredDeals(), 1);
    // A passed deal (bids under 11) is refused and does not count.
    DealStats passed = deal(3, {});
    passed.seats[1].bid = 2;
    passed.seats[1].change = 2;
    QCOMPARE(statistics.dealScored(passed), RecordResult::Invalid);
    QCOMPARE(statistics.scoredDeals(), 1);
    QCOMPARE(statistics.dealScored(deal(3, {3, 4, -3, 2})), RecordResult::Recorded);
    QCOMPARE(statistics.scoredDeals(), 2);

    // A resumed game: the deal the saved game had already scored is refused.
    Statistics nextRun(folder());
    nextRun.resumeGame(first, 1);
    QCOMPARE(nextRun.dealScored(deal(3, {3, 4, -3, 2})), RecordResult::Duplicate);
    QCOMPARE(nextRun.scoredDeals(), 2);
    QCOMPARE(nextRun.dealScored(deal(3, {6, 8, -6, 4})), RecordResult::Recorded);
    QCOMPARE(nextRun.gameWon(GameStats{{}, {}, 1, 0, {41, 12, -3, 2}}), RecordResult::Recorded);
    QCOMPARE(nextRun.gameWon(GameStats{{}, {}, 1, 0, {41, 12, -3, 2}}), RecordResult::Duplicate);

    // New Game: a fresh id and numbering from 1.
    const QString second = nextRun.startGame();
    QVERIFY(second != first);
    QCOMPARE(nextRun.scoredDeals(), 0);
    QCOMPARE(nextRun.dealScored(deal(3, {})), RecordResult::Recorded);
    const auto summary = nextRun.store().summary(second);
    QVERIFY(summary);
    QCOMPARE(summary->dealsPlayed, 4);
    QCOMPARE(summary->gamesPlayed, 1);
    QCOMPARE(int(summary->currentGameScores.size()), 1);
}

void TstStatisticsWindow::showsFiguresAndCharts_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<QString>("won");
    QTest::newRow("English") << "EN"
                             << "Statistics" << Qt::LeftToRight << "1 of 1 (100%)";
    QTest::newRow("Arabic") << "AR"
                            << "الإحصاءات" << Qt::RightToLeft << "1 من 1 (100%)";
}

void TstStatisticsWindow::showsFiguresAndCharts()
{
    QFETCH(QString, lang);
    QFETCH(QString, caption);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(QString, won);
    setCurrentLang(lang);
    QDir(folder()).removeRecursively();
    Statistics statistics(folder());
    fill(statistics);

    Seen seen;
    auto done = whenModal([&seen](QWidget* window) {
        seen = look(window);
        button(window, "closeButton")->click();
    });
    statistics.showWindow(nullptr, Names);
    QVERIFY(*done);

    QCOMPARE(seen.caption, caption);
    QCOMPARE(seen.direction, direction);
    QCOMPARE(seen.chartDirection, Qt::LeftToRight);
    QCOMPARE(seen.gamesPlayed, QStringLiteral("1"));
    // Read as a sentence: "Won by your side: 1 of 1 (100%)".
    QCOMPARE(seen.gamesWon, won);
    QCOMPARE(seen.streak, QStringLiteral("1"));
    QCOMPARE(seen.deals, QStringLiteral("4"));
    // The player: +3, -3, +3, +3.
    QCOMPARE(seen.average, QStringLiteral("+1.5"));
    QCOMPARE(seen.bidRows, QStringList{QStringLiteral("3 4 3 75%")});
    QVERIFY(seen.scoreChartShown);
    // The current game only: from 0 through its two deals, and the dashed winning line.
    QCOMPARE(seen.scoreSeries,
             (QStringList{QStringLiteral("Huda: 0,3,6"), QStringLiteral("Player2: 0,4,8"),
                          QStringLiteral("Player3: 0,3,6"), QStringLiteral("Player4: 0,-2,0"),
                          QStringLiteral("41: 41,41")}));
    QVERIFY(seen.winRateChartShown);
    QCOMPARE(seen.winRate, (QList<QPointF>{QPointF(1, 100)}));
    QVERIFY(!seen.unavailableShown);
    setCurrentLang(QStringLiteral("EN"));
}

void TstStatisticsWindow::namesInTheLegendAreText()
{
    // Qt Charts draws legend labels as rich text: markup in a name must come out as typed.
    QDir(folder()).removeRecursively();
    Statistics statistics(folder());
    statistics.startGame();
    QCOMPARE(statistics.dealScored(deal(3, {})), RecordResult::Recorded);
    const std::array<QString, 4> names = {QStringLiteral("<b>Bold</b>"), QStringLiteral("A&amp;B"),
                                          QStringLiteral("<font color=red>R</font>"),
                                          QStringLiteral("x<y")};
    QStringList shown;
    auto done = whenModal([&shown](QWidget* window) {
        auto* view = window->findChild<QChartView*>(QStringLiteral("scoreChart"));
        for (QLegendMarker* marker : view->chart()->legend()->markers()) {
            QTextDocument label;
            label.setHtml(marker->label());
            if (marker->isVisible())
                shown << label.toPlainText();
        }
        window->close();
    });
    statistics.showWindow(nullptr, names);
    QVERIFY(*done);
    QCOMPARE(shown, QStringList(names.begin(), names.end()));
}

void TstStatisticsWindow::emptyDatabaseShowsNotesInsteadOfCharts_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("noneYet");
    QTest::newRow("English") << "EN" << "none yet";
    QTest::newRow("Arabic") << "AR" << "لا شيء بعد";
}

void TstStatisticsWindow::emptyDatabaseShowsNotesInsteadOfCharts()
{
    QFETCH(QString, lang);
    QFETCH(QString, noneYet);
    setCurrentLang(lang);
    QDir(folder()).removeRecursively();
    Statistics statistics(folder());
    statistics.startGame();
    Seen seen;
    bool noScores = false;
    bool noGames = false;
    auto done = whenModal([&](QWidget* window) {
        seen = look(window);
        noScores = window->findChild<QLabel*>(QStringLiteral("noScores"))->isVisible();
        noGames = window->findChild<QLabel*>(QStringLiteral("noGames"))->isVisible();
        window->close();
    });
    statistics.showWindow(nullptr, Names);
    QVERIFY(*done);
    QCOMPARE(seen.gamesPlayed, QStringLiteral("0"));
    // "Won by your side: none yet", not "0 (-)", read as "nought minus"; and the average
    // change before any deal says the same, not a bare "-".
    QCOMPARE(seen.gamesWon, noneYet);
    QCOMPARE(seen.average, noneYet);
    QCOMPARE(seen.bidRows, QStringList{texts().statistics.noBids});
    QVERIFY(!seen.scoreChartShown);
    QVERIFY(!seen.winRateChartShown);
    QVERIFY(noScores);
    QVERIFY(noGames);
}

void TstStatisticsWindow::resetAsksFirst()
{
    QDir(folder()).removeRecursively();
    Statistics statistics(folder());
    fill(statistics);

    QStringList questions;
    Seen afterNo;
    Seen afterYes;
    int step = 0;
    ModalAnswerer answerer([&](QWidget* modal) {
        switch (step++) {
        case 0: // the window: Reset
            button(modal, "resetButton")->click();
            return true;
        case 1: // the question: No
            questions << messageText(modal);
            return pressMessageButton(modal, MsgButton::No);
        case 2: // back in the window: Reset again
            afterNo = look(modal);
            button(modal, "resetButton")->click();
            return true;
        case 3:
            questions << messageText(modal);
            return pressMessageButton(modal, MsgButton::Yes);
        case 4:
            afterYes = look(modal);
            button(modal, "closeButton")->click();
            return true;
        default:
            return false;
        }
    });
    statistics.showWindow(nullptr, Names);
    QCOMPARE(step, 5);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(questions, QStringList(2, englishTexts().statistics.resetQuestion));
    QCOMPARE(afterNo.deals, QStringLiteral("4"));
    QCOMPARE(afterYes.deals, QStringLiteral("0"));
    QCOMPARE(afterYes.gamesPlayed, QStringLiteral("0"));
    QVERIFY(!afterYes.scoreChartShown);
    const auto summary = statistics.store().summary(statistics.currentGameId());
    QVERIFY(summary);
    QCOMPARE(summary->dealsPlayed, 0);
}

void TstStatisticsWindow::damagedDatabaseIsReportedOnceAndResetStartsOver()
{
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
    const QByteArray junk = QByteArray("this is no database\n").repeated(100);
    {
        QFile f(folder() + QStringLiteral("/statistics.sqlite"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
        QFile ini(folder() + QStringLiteral("/Halbeet.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[NAMES]\nPLAYER1=Huda\n");
    }
    setCurrentLang(QStringLiteral("AR"));
    Statistics statistics(folder());
    statistics.startGame();
    // Two deals meet the damaged file: the game goes on, and one notice is shown.
    QCOMPARE(statistics.dealScored(deal(3, {})), RecordResult::Failed);
    QCOMPARE(statistics.dealScored(deal(3, {3, 4, -3, 2})), RecordResult::Failed);
    QCOMPARE(statistics.scoredDeals(), 2);
    QStringList notices;
    Seen seen;
    int step = 0;
    ModalAnswerer answerer([&](QWidget* modal) {
        if (isMessageDialog(modal)) {
            notices << messageText(modal);
            return pressMessageButton(modal, modal->findChild<QPushButton*>(QStringLiteral("Yes"))
                                                 ? MsgButton::Yes
                                                 : MsgButton::OK);
        }
        if (step++ == 0) {
            seen = look(modal);
            button(modal, "resetButton")->click();
            return true;
        }
        seen = look(modal);
        button(modal, "closeButton")->click();
        return true;
    });
    QTRY_COMPARE(notices.size(), 1);
    statistics.showWindow(nullptr, Names);
    QVERIFY(answerer.unexpected().isEmpty());
    // The notice (once), then the reset question.
    QCOMPARE(notices.size(), 2);
    QVERIFY(notices[0].startsWith(
        arabicTexts().statistics.errorDamaged.section(QLatin1Char('\n'), 0, 0)));
    QVERIFY(notices[0].contains(QStringLiteral("statistics.sqlite")));
    QCOMPARE(notices[1], arabicTexts().statistics.resetQuestion);
    QCOMPARE(step, 2);
    QCOMPARE(seen.deals, QStringLiteral("0"));
    QVERIFY(!seen.unavailableShown);
    // The new file takes deals; the settings file beside it was never touched.
    QCOMPARE(statistics.dealScored(deal(3, {})), RecordResult::Recorded);
    QFile ini(folder() + QStringLiteral("/Halbeet.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), QByteArray("[NAMES]\nPLAYER1=Huda\n"));
    setCurrentLang(QStringLiteral("EN"));
}

void TstStatisticsWindow::missingModuleIsReported()
{
    QTemporaryDir empty;
    Statistics::setModuleDirectory(empty.path());
    Statistics statistics(folder());
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    statistics.showWindow(nullptr, Names);
    QVERIFY(notice.startsWith(QStringLiteral("The Statistics window cannot be shown:")));
    QVERIFY(notice.contains(QStringLiteral("halbeet-statistics")));
}

void TstStatisticsWindow::gameMenuHasTheStatisticsCommand_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "EN";
    QTest::newRow("Arabic") << "AR";
}

void TstStatisticsWindow::gameMenuHasTheStatisticsCommand()
{
    QFETCH(QString, lang);
    TempSettings settings;
    setCurrentLang(lang);
    GameModel model([] { return std::uint32_t(1); });
    auto window = createMainWindow(model);
    QAction* item = window->menuItem(QStringLiteral("Statistics"));
    QVERIFY(item);
    QCOMPARE(item->text(), texts().statistics.menuItem);
    auto* game = window->findChild<QMenu*>(QStringLiteral("N1"));
    QVERIFY(game);
    const QList<QAction*> actions = game->actions();
    QCOMPARE(actions.indexOf(item), actions.indexOf(window->menuItem(QStringLiteral("N4"))) + 1);
    setCurrentLang(QStringLiteral("EN"));
}

void TstStatisticsWindow::chartsReadWellAtAnyCount_data()
{
    QTest::addColumn<int>("games");
    QTest::addColumn<int>("deals");
    QTest::newRow("nothing yet") << 0 << 0;
    QTest::newRow("one game, one deal") << 1 << 1;
    QTest::newRow("two games, two deals") << 2 << 2;
    QTest::newRow("thirteen deals") << 7 << 13;
    QTest::newRow("hundreds of games, a long game") << 347 << 120;
}

void TstStatisticsWindow::chartsReadWellAtAnyCount()
{
    QFETCH(int, games);
    QFETCH(int, deals);
    QLibrary module(QStringLiteral(HALBEET_STATISTICS_MODULE_DIR) + QLatin1Char('/') +
                    QLatin1String(StatisticsModuleName));
    auto create =
        reinterpret_cast<CreateStatisticsViewFunction>(module.resolve(CreateStatisticsViewSymbol));
    QVERIFY2(create, qPrintable(module.errorString()));
    StatisticsViewSetup setup;
    setup.texts = texts().statistics;
    setup.names = Names;
    std::unique_ptr<StatisticsView> view(create(setup));
    view->showSummary(summaryOf(games, deals));
    QDialog* window = view->dialog();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("noGames"))->isVisible(), games == 0);
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("noScores"))->isVisible(), deals == 0);
    QString problems;
    for (const char* name : {"scoreChart", "winRateChart"}) {
        auto* chartView = window->findChild<QChartView*>(QLatin1String(name));
        if (!chartView->isVisible())
            continue;
        QChart* chart = chartView->chart();
        QTRY_VERIFY(!axisLabels(chartView).x.isEmpty());
        const AxisLabels labels = axisLabels(chartView);
        problems += labelProblems(QLatin1String(name) + QStringLiteral(" horizontal"), labels.x);
        problems += labelProblems(QLatin1String(name) + QStringLiteral(" vertical"), labels.y);
        // Every point inside the plot, a drawn marker whole.
        const QRectF plot = chart->plotArea();
        for (QAbstractSeries* series : chart->series()) {
            auto* line = static_cast<QLineSeries*>(series);
            const qreal room = line->pointsVisible() ? line->markerSize() / 2 : 0;
            const QRectF inside = plot.adjusted(room, room, -room, -room);
            for (const QPointF& point : line->points()) {
                const QPointF at = chart->mapToPosition(point, line);
                if (!inside.contains(at))
                    problems += QStringLiteral("%1: (%2, %3) drawn at (%4, %5) outside (%6, %7)-(%8, %9); ")
                                    .arg(QLatin1String(name))
                                    .arg(point.x()).arg(point.y()).arg(at.x()).arg(at.y())
                                    .arg(inside.left()).arg(inside.top())
                                    .arg(inside.right()).arg(inside.bottom());
            }
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

QTEST_MAIN(TstStatisticsWindow)
#include "tst_statistics_window.moc"

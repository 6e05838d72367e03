// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics as the game feeds them: one record per scored deal, none for a passed deal,
// one game per won game, and a resumed game that goes on under its own id.

#include "test_support.h"

#include "core/game.h"
#include "settings/saved_game.h"
#include "stats/stats_store.h"
#include "ui/main_window.h"
#include "ui/score_sheet.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::answerGameEnd;
using halbeet::testing::answerNextMessage;
using halbeet::testing::GameEndSeen;
using halbeet::testing::Game;
using halbeet::testing::GameWindow;

namespace {

// What the database in the current data folder says about the game with this id.
StatsSummary summaryOf(const std::string& gameId)
{
    StatsStore store;
    const std::optional<StatsSummary> summary = store.summary(QString::fromStdString(gameId));
    [&] { QVERIFY(summary.has_value()); }();
    return summary.value_or(StatsSummary{});
}

// The Scores command, its sheet looked at and closed with OK.
void lookAtScores(Game& game)
{
    halbeet::testing::whenModal([](QWidget* modal) {
        auto* sheet = qobject_cast<ScoreSheet*>(modal);
        QVERIFY(sheet);
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
    });
    game.window().showScores();
}

} // namespace

class StatisticsFlowTest : public QObject {
    Q_OBJECT

private slots:
    void eachScoredDealOnceAndPassedDealsNever();
    void aResumedGameGoesOnUnderItsId();
    void newGameInMidDealStartsAFreshGame();
    void aWonGameIsRecordedOnce();
};

void StatisticsFlowTest::eachScoredDealOnceAndPassedDealsNever()
{
    Game game(11);
    const std::string id = game.model().gameTag();
    QVERIFY(!id.empty());
    game.bid(QStringLiteral("6"));
    // The Scores command during the deal and again on the finished sheet records nothing more.
    lookAtScores(game);
    game.playOutDeal([&](ScoreSheet*) { QCOMPARE(summaryOf(id).dealsPlayed, 1); });
    lookAtScores(game);
    QCOMPARE(summaryOf(id).dealsPlayed, 1);
    QCOMPARE(summaryOf(id).currentGameScores.size(), std::size_t(1));

    // A passed deal: the bids total 10.
    TGameState& s = game.state();
    s.Bids[2] = 2;
    s.Bids[3] = 3;
    s.Bids[4] = 3;
    answerNextMessage(MsgButton::OK);
    game.bid(QStringLiteral("2"));
    QCOMPARE(summaryOf(id).dealsPlayed, 1);
    QCOMPARE(game.model().gameTag(), id); // the same game goes on
}

void StatisticsFlowTest::aResumedGameGoesOnUnderItsId()
{
    QByteArray saved;
    std::string id;
    {
        Game first(12);
        id = first.model().gameTag();
        first.bid(QStringLiteral("6"));
        first.playOutDeal();
        first.bid(QStringLiteral("6"));
        first.click(first.spriteOf(first.legalCard()));
        first.window().saveGameOnQuit();
        QFile file(savedgame::path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        saved = file.readAll();
        // The next run has its own settings folder; the statistics must come along.
        QVERIFY(QFile::copy(StatsStore().filePath(), QDir::tempPath() + QStringLiteral("/halbeet-stats-carry.sqlite")));
    }
    GameWindow second(GameWindow::Options{12, QStringLiteral("Hawk"), QStringLiteral("EN"), {}, 0});
    QDir().mkpath(savedgame::folder());
    QVERIFY(QFile::rename(QDir::tempPath() + QStringLiteral("/halbeet-stats-carry.sqlite"), StatsStore().filePath()));
    {
        QFile file(savedgame::path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(saved);
    }
    answerNextMessage(MsgButton::Yes);
    second.start();
    QCOMPARE(second.model().gameTag(), id);
    second.playOutDeal();
    const StatsSummary summary = summaryOf(id);
    QCOMPARE(summary.dealsPlayed, 2);
    QCOMPARE(summary.currentGameScores.size(), std::size_t(2));
    const auto& last = summary.currentGameScores.back();
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(last[static_cast<std::size_t>(seat - 1)], second.state().Scores[seat]);
}

void StatisticsFlowTest::newGameInMidDealStartsAFreshGame()
{
    Game game(13);
    const std::string first = game.model().gameTag();
    game.bid(QStringLiteral("6"));
    game.playOutDeal();
    game.bid(QStringLiteral("6"));
    answerNextMessage(MsgButton::Yes);
    game.window().askNewGame();
    const std::string second = game.model().gameTag();
    QVERIFY(!second.empty());
    QVERIFY(second != first);
    game.bid(QStringLiteral("6"));
    game.playOutDeal();
    QCOMPARE(summaryOf(first).currentGameScores.size(), std::size_t(1));
    QCOMPARE(summaryOf(second).currentGameScores.size(), std::size_t(1));
    QCOMPARE(summaryOf(second).dealsPlayed, 2);
    QCOMPARE(summaryOf(second).gamesPlayed, 0);
}

void StatisticsFlowTest::aWonGameIsRecordedOnce()
{
    GameWindow game(GameWindow::Options{14, QStringLiteral("Hawk"), QStringLiteral("EN"), {}, 0});
    // Seats 1 and 3 far ahead from the start: whatever happens in the deal, their side wins it.
    game.state().Scores = {0, 70, 0, 40, 0};
    QCOMPARE(game.start(), QString());
    const std::string id = game.model().gameTag();
    game.bid(QStringLiteral("6"));
    bool asked = false;
    GameEndSeen seen;
    game.playOutDeal([&](ScoreSheet* sheet) {
        QVERIFY(game.model().phase() == Phase::GameOver);
        answerGameEnd(MsgButton::Yes, &seen);
        asked = true;
        QTest::mouseClick(sheet->okButton(), Qt::LeftButton);
    });
    QVERIFY(asked);
    const StatsSummary summary = summaryOf(id);
    QCOMPARE(summary.gamesPlayed, 1);
    QCOMPARE(summary.gamesWon, 1);
    // The next game has an id of its own and no finished game more.
    QVERIFY(game.model().gameTag() != id);
    QCOMPARE(summaryOf(game.model().gameTag()).gamesPlayed, 1);
}

QTEST_MAIN(StatisticsFlowTest)
#include "tst_statistics_flow.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// The game flow driven through the real main window: dealing, bidding, passing, computer
// turns, the human's cards, tricks, the score sheet, new games and waits interrupted by menu
// commands. Time runs at scale 0 (no waiting) unless a test needs a wait to happen in.

#include "test_support.h"

#include "settings/settings.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/name_dialog.h"
#include "ui/score_sheet.h"
#include "ui/startup.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace halbeet;
using halbeet::testing::checkStateInvariants;
using halbeet::testing::answerGameEnd;
using halbeet::testing::answerNextMessage;
using halbeet::testing::GameEndSeen;
using halbeet::testing::Game;
using halbeet::testing::whenModal;

namespace {

// Cards played once the human's first trick is taken: the four of the trick, then the next
// leader and the seats after it up to the human.
int cardsAfterFirstTrick(int taker) { return 4 + (taker == 1 ? 0 : 5 - taker); }

int visibleCount(const Table& table, int first, int last)
{
    int n = 0;
    for (int i = first; i <= last; ++i)
        n += table.card(i)->isVisible() ? 1 : 0;
    return n;
}

} // namespace

class GameFlowTest : public QObject {
    Q_OBJECT

private slots:
    void firstDealIsDealtByTheHuman();
    void dealBySeatFourHidesEveryBid();
    void passedDealIsDealtAgainByTheNextSeat();
    void bidButtonWithoutABidShowsTheNotice();
    void followSuitRefusalThenALegalCard();
    void clicksDuringWaitsAreIgnoredAndNeverReplayed();
    void lastTrickOpensTheScoreSheetWithTheDealsRow();
    void eightDealsFillAndScrollTheSheet();
    void scoreSheetCloseBoxActsAsOkAndScoresOnce();
    void scoresCommandDuringTheLastTrickScoresNothing();
    void wonGameAnsweredYesStartsANewGame();
    void newGameAnsweredNoChangesNothingMidTrick();
    void newGameInsideAPauseAbandonsTheOldFlow();
    void lastTrickCommandWaitsForTheFirstTrick();
    void bidListFollowsTheHumansScore_data();
    void bidListFollowsTheHumansScore();
};

void GameFlowTest::firstDealIsDealtByTheHuman()
{
    Game game;
    const TGameState& s = game.state();
    QCOMPARE(s.DealerCounter, 1);
    QVERIFY(game.table().bidButton()->isVisible());
    QVERIFY(!game.table().bidButton()->isEnabled());
    for (int seat = 2; seat <= 4; ++seat)
        QCOMPARE(game.table().bidLabel(seat)->text(), QString::number(s.Bids[seat]));
    QCOMPARE(game.window().statusBar1()->getDealPanel()->text(), QStringLiteral("Hawk"));
    QCOMPARE(game.window().statusBar1()->getPlayPanel()->text(), QStringLiteral("Player2"));
    QCOMPARE(game.window().statusBar1()->getHintPanel()->text(), texts().flow.BidPrompt);
    for (int seat = 2; seat <= 4; ++seat)
        QVERIFY(!game.table().cutSprite(seat)->isVisible());
    QCOMPARE(visibleCount(game.table(), 1, 52), 52);

    game.bid(QStringLiteral("6")); // every computer bids at least 2: the total reaches 12
    // Seats 2, 3 and 4 lead and follow before the human's first click.
    for (int seat = 2; seat <= 4; ++seat)
        QVERIFY(game.table().trickSlot(seat)->Suite() != 0);
    QCOMPARE(game.table().trickSlot(1)->Suite(), 0);
    QCOMPARE(s.CardsPlayed, 3);
    QCOMPARE(s.TrickPos, 4);
    QCOMPARE(s.Trick[1].Seat, 2);
    QCOMPARE(game.window().statusBar1()->getPlayPanel()->text(), QStringLiteral("Hawk"));
    QCOMPARE(game.table().bidLabel(1)->text(), QStringLiteral("6"));
    QVERIFY(!game.table().bidButton()->isVisible());
    for (int k = 1; k <= 13; ++k)
        QCOMPARE(game.table().handSprite(1, k)->y(), Table::HandTop);
    QVERIFY(game.window().isEnabled());
    QCOMPARE(checkStateInvariants(s, game.table()), QString());
}

void GameFlowTest::dealBySeatFourHidesEveryBid()
{
    Game game(5, 3);
    const TGameState& s = game.state();
    QCOMPARE(s.DealerCounter, 0);
    for (int seat = 2; seat <= 4; ++seat)
        QCOMPARE(game.table().bidLabel(seat)->text(), QStringLiteral("?"));
    QCOMPARE(game.window().statusBar1()->getDealPanel()->text(), QStringLiteral("Player4"));
    QCOMPARE(game.window().statusBar1()->getPlayPanel()->text(), QStringLiteral("Hawk"));
    QVERIFY(game.table().cutSprite(4)->isVisible());
    QCOMPARE(game.table().cutSprite(4)->face(), s.CutCard);
    QVERIFY(!game.table().card(52)->isVisible());

    game.bid(QStringLiteral("14"));
    QCOMPARE(s.CardsPlayed, 0);
    QVERIFY(!game.table().cutSprite(4)->isVisible());
    QVERIFY(game.table().card(52)->isVisible());
    QCOMPARE(game.table().card(52)->Suite(), game.table().card(25)->Suite());
    for (int seat = 2; seat <= 4; ++seat)
        QCOMPARE(game.table().bidLabel(seat)->text(), QString::number(s.Bids[seat]));
    QCOMPARE(game.window().statusBar1()->getPlayPanel()->text(), QStringLiteral("Hawk"));
}

void GameFlowTest::passedDealIsDealtAgainByTheNextSeat()
{
    Game game(9, 1); // seat 2 deals
    TGameState& s = game.state();
    QVERIFY(game.table().cutSprite(2)->isVisible());
    s.Bids[2] = 2;
    s.Bids[3] = 3;
    s.Bids[4] = 3; // with the human's 2: 10, below 11
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    game.bid(QStringLiteral("2"));
    QCOMPARE(notice, texts().flow.PassNotice);
    // Dealt again by seat 3: bidding again, nothing scored, no row on the sheet.
    QCOMPARE(s.DealerCounter, 3);
    QVERIFY(game.table().cutSprite(3)->isVisible());
    QVERIFY(!game.table().cutSprite(2)->isVisible());
    QVERIFY(game.table().card(26)->isVisible());
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
    QCOMPARE(s.ScoreRow, 1);
    QCOMPARE(game.table().bidLabel(1)->text(), QString());
    QCOMPARE(game.window().statusBar1()->getDealPanel()->text(), QStringLiteral("Player3"));
}

void GameFlowTest::bidButtonWithoutABidShowsTheNotice()
{
    Game game;
    QString notice;
    answerNextMessage(MsgButton::OK, &notice);
    game.table().bidButton()->setEnabled(true); // Enter works on a default button
    game.window().confirmBid();
    QCOMPARE(notice, texts().flow.MissingBidNotice);
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(game.state().CardsPlayed, 0);
}

void GameFlowTest::followSuitRefusalThenALegalCard()
{
    // Find a deal where the human, fourth to play, holds the led suit and another suit.
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        Game game(seed);
        game.bid(QStringLiteral("6"));
        const TGameState& s = game.state();
        const int led = s.Trick[1].Suite;
        if (s.Splits[1].Counts[led] == 0 || s.Splits[1].Counts[led] == 13)
            continue;
        CardSprite* wrong = nullptr;
        CardSprite* right = nullptr;
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = game.table().handSprite(1, k);
            (sprite->Suite() == led ? right : wrong) = sprite;
        }
        game.click(wrong);
        QVERIFY(game.table().warningImage()->isVisible());
        QCOMPARE(s.HandCount[1], 13);
        QCOMPARE(game.table().trickSlot(1)->Suite(), 0);
        QCOMPARE(s.CardsPlayed, 3);

        game.click(right);
        QVERIFY(!game.table().warningImage()->isVisible());
        QCOMPARE(s.HandCount[1], 12);
        QCOMPARE(s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4], 1);
        QCOMPARE(s.CardsPlayed, cardsAfterFirstTrick(s.WinningCard.Seat));
        QCOMPARE(checkStateInvariants(s, game.table()), QString());
        return;
    }
    QFAIL("no seed gave a deal to test the refusal");
}

void GameFlowTest::clicksDuringWaitsAreIgnoredAndNeverReplayed()
{
    Game game(3, 3); // seat 4 deals: the human leads
    TGameState& s = game.state();
    game.bid(QStringLiteral("14"));
    QCOMPARE(s.CardsPlayed, 0);

    // Real waits, shortened: clicks keep arriving while the computers play and the trick waits.
    setTimeScale(0.05);
    int attempts = 0;
    bool inFlow = false;
    QTimer clicker;
    clicker.setInterval(1);
    connect(&clicker, &QTimer::timeout, [&] {
        if (!inFlow)
            return;
        ++attempts;
        for (int k = 1; k <= 13; ++k) {
            CardSprite* sprite = game.table().handSprite(1, k);
            if (sprite->isVisible() && sprite->y() == Table::HandTop) {
                game.click(sprite);
                return;
            }
        }
    });
    const TCardFace first = game.legalCard();
    clicker.start();
    inFlow = true;
    game.window().playCard(game.spriteOf(first));
    QVERIFY(game.waitForHumansTurn());
    inFlow = false;
    clicker.stop();
    setTimeScale(0);
    QVERIFY(attempts > 3);

    // Exactly one card of the human's went into the trick, and it was taken.
    QCOMPARE(s.HandCount[1], 12);
    QCOMPARE(s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4], 1);
    QCOMPARE(s.CardsPlayed, cardsAfterFirstTrick(s.WinningCard.Seat));
    // Nothing left queued plays later.
    QTest::qWait(50);
    QCOMPARE(s.HandCount[1], 12);
    QCOMPARE(checkStateInvariants(s, game.table()), QString());
}

void GameFlowTest::lastTrickOpensTheScoreSheetWithTheDealsRow()
{
    Game game(11);
    TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    PerSeat<std::int32_t> expected{};
    game.playOutDeal([&](ScoreSheet* sheet) {
        for (int seat = 1; seat <= 4; ++seat) {
            const int b = s.Bids[seat];
            const int need = b >= 14 ? b / 2 : b;
            expected[seat] = s.TricksWon[seat] >= need ? b : -b;
            QCOMPARE(sheet->scoreLabel(seat, 1)->text(), QString::number(expected[seat]));
            QVERIFY(sheet->scoreLabel(seat, 1)->isVisible());
            QVERIFY(!sheet->scoreLabel(seat, 1)->font().strikeOut());
            QVERIFY(!sheet->scoreLabel(seat, 2)->isVisible());
        }
        QCOMPARE(sheet->heading(1)->text(), QStringLiteral("Hawk"));
        QCOMPARE(s.ScoreRow, 2);
        QCOMPARE(s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4], 13);
        // The trump picture goes blank and the panels empty at the end of the deal.
        QCOMPARE(game.window().statusBar1()->getDealPanel()->text(), QString());
    });
    QCOMPARE(s.Scores, expected);
    // OK dealt the next deal by the next seat; the table shows no marker of the old one.
    QCOMPARE(s.DealerCounter, 2);
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(visibleCount(game.table(), 57, 108), 0);
    QCOMPARE(s.CardsPlayed, 0);
}

void GameFlowTest::eightDealsFillAndScrollTheSheet()
{
    Game game(21);
    TGameState& s = game.state();
    std::vector<PerSeat<std::int32_t>> totals;
    while (totals.size() < 8) {
        // Keep the game from ending: every deal starts from 0, so nobody gets near 41.
        s.Scores = {};
        const int rowBefore = s.ScoreRow;
        game.bid(QStringLiteral("6"));
        game.playOutDeal();
        totals.push_back(s.Scores);
        QCOMPARE(s.ScoreRow, std::min(rowBefore + 1, 8));
    }
    ScoreSheet* sheet = game.window().scoreSheet();
    for (int row = 1; row <= 7; ++row) {
        for (int seat = 1; seat <= 4; ++seat) {
            QLabel* label = sheet->scoreLabel(seat, row);
            QCOMPARE(label->text(), QString::number(totals[row][seat]));
            QCOMPARE(label->font().strikeOut(), row < 7);
        }
    }
}

void GameFlowTest::scoreSheetCloseBoxActsAsOkAndScoresOnce()
{
    Game game(11);
    TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    PerSeat<std::int32_t> scored{};
    game.playOutDeal([&](ScoreSheet* sheet) {
        scored = s.Scores;
        // Shown a second time (a repaint of the modal sheet, or the menu) it scores nothing.
        sheet->hide();
        sheet->show();
        QCOMPARE(s.Scores, scored);
        QCOMPARE(s.ScoreRow, 2);
    });
    QCOMPARE(s.Scores, scored);

    // Closed from code (reject, as Esc does) the next deal's sheet deals again like OK.
    game.bid(QStringLiteral("6"));
    while (s.HandCount[1] > 1)
        game.click(game.spriteOf(game.legalCard()));
    whenModal([](QWidget* modal) { modal->close(); });
    game.click(game.spriteOf(game.legalCard()));
    QCOMPARE(s.ScoreRow, 3);
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(s.CardsPlayed, 0);
}

void GameFlowTest::scoresCommandDuringTheLastTrickScoresNothing()
{
    // The last trick lies on the table for a moment with all 52 cards played; the Scores
    // command then only shows the sheet: the deal is scored once, with all 13 tricks.
    Game game(11);
    TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    while (s.HandCount[1] > 1)
        game.click(game.spriteOf(game.legalCard()));
    setTimeScale(0.05);
    bool looked = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (looked || s.CardsPlayed < 52 || !game.window().tableBusy() || s.TricksWon[1] + s.TricksWon[2] +
                                                                     s.TricksWon[3] +
                                                                     s.TricksWon[4] != 12)
            return;
        looked = true;
        poll.stop();
        QTimer::singleShot(0, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            QVERIFY(qobject_cast<ScoreSheet*>(modal));
            QCOMPARE(s.ScoreRow, 1);
            QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
            modal->close();
        });
        game.window().showScores();
    });
    poll.start(1);
    PerSeat<std::int32_t> onSheet{};
    PerSeat<std::int32_t> bids{};
    QTimer answer;
    connect(&answer, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<ScoreSheet*>(QApplication::activeModalWidget());
        if (!looked || !modal || s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] +
                                         s.TricksWon[4] != 13)
            return;
        answer.stop();
        onSheet = s.Scores;
        bids = s.Bids;
        modal->close();
    });
    answer.start(2);
    game.click(game.spriteOf(game.legalCard()));
    QTRY_VERIFY_WITH_TIMEOUT(looked && game.table().bidButton()->isVisible(), 20000);
    setTimeScale(0);
    QVERIFY(looked);
    QCOMPARE(s.ScoreRow, 2);
    for (int seat = 1; seat <= 4; ++seat)
        QCOMPARE(std::abs(onSheet[seat]), bids[seat]);
    QVERIFY(game.table().bidButton()->isVisible());
}

void GameFlowTest::wonGameAnsweredYesStartsANewGame()
{
    Game game(11);
    TGameState& s = game.state();
    const int dealer = s.DealerCounter;
    game.bid(QStringLiteral("6"));
    s.Scores = {0, 100, 0, 100, 0}; // the human's side wins whatever this deal brings
    int winner = 0;
    QColor colour;
    GameEndSeen seen;
    game.playOutDeal([&](ScoreSheet* sheet) {
        winner = s.GameWinner;
        colour = sheet->scoreLabel(winner, 1)->palette().color(QPalette::WindowText);
        answerGameEnd(MsgButton::Yes, &seen);
    });
    QCOMPARE(seen.question, texts().flow.NewGameQuestion);
    QVERIFY(winner == 1 || winner == 3);
    QCOMPARE(colour, QColor(0, 128, 0));
    QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
    QCOMPARE(s.ScoreRow, 1);
    QVERIFY(!game.window().scoreSheet()->scoreLabel(1, 1)->isVisible());
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(s.DealerCounter, (dealer + 1) % 4); // the rotation goes on across games
}

void GameFlowTest::newGameAnsweredNoChangesNothingMidTrick()
{
    Game game(7, 3);
    TGameState& s = game.state();
    game.bid(QStringLiteral("14"));
    game.click(game.spriteOf(game.legalCard()));
    const TGameState before = s;
    const QString playPanel = game.window().statusBar1()->getPlayPanel()->text();
    const int visible = visibleCount(game.table(), 1, 108);
    answerNextMessage(MsgButton::No);
    game.window().askNewGame();
    QCOMPARE(s.Hands, before.Hands);
    QCOMPARE(s.Scores, before.Scores);
    QCOMPARE(s.CardsPlayed, before.CardsPlayed);
    QCOMPARE(s.TricksWon, before.TricksWon);
    QCOMPARE(game.window().statusBar1()->getPlayPanel()->text(), playPanel);
    QCOMPARE(visibleCount(game.table(), 1, 108), visible);
}

void GameFlowTest::newGameInsideAPauseAbandonsTheOldFlow()
{
    Game game(13); // the human deals: three computer turns follow the bid
    TGameState& s = game.state();
    s.Scores = {0, 5, 5, 5, 5};
    setTimeScale(1);
    bool asked = false;
    // Inside the first computer pause: New Game, Yes.
    QTimer::singleShot(20, [&] {
        QVERIFY(game.window().tableBusy());
        whenModal([&](QWidget* modal) {
            asked = true;
            qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
        });
        game.window().askNewGame();
        setTimeScale(0);
    });
    game.bid(QStringLiteral("6"));
    QTRY_VERIFY(asked);
    setTimeScale(0);
    // The old flow stopped at its wait: the new deal waits for a bid with nothing played.
    QTest::qWait(100);
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(s.CardsPlayed, 0);
    QCOMPARE(s.Scores, (PerSeat<std::int32_t>{}));
    for (int seat = 1; seat <= 4; ++seat) {
        QCOMPARE(s.HandCount[seat], 13);
        QCOMPARE(game.table().trickSlot(seat)->Suite(), 0);
        QVERIFY(!game.table().moveSprite(seat)->isVisible());
    }
    QCOMPARE(checkStateInvariants(s, game.table()), QString());
    QVERIFY(game.window().isEnabled());
    // And the new deal plays normally.
    game.bid(QStringLiteral("6"));
    QCOMPARE(s.CardsPlayed, s.DealerCounter == 0 ? 0 : 4 - s.DealerCounter);
    QCOMPARE(checkStateInvariants(s, game.table()), QString());
}

void GameFlowTest::lastTrickCommandWaitsForTheFirstTrick()
{
    Game game(7, 3); // the human leads
    bool shown = false;
    auto watch = whenModal([&](QWidget* modal) {
        shown = true;
        modal->close();
    });
    game.window().showLastTrick(); // before any trick: nothing opens
    QTest::qWait(50);
    QVERIFY(!shown);
    game.bid(QStringLiteral("14"));
    game.click(game.spriteOf(game.legalCard()));
    QVERIFY(game.state().CardsPlayed >= 4);
    game.window().showLastTrick();
    QVERIFY(shown);
}

void GameFlowTest::bidListFollowsTheHumansScore_data()
{
    QTest::addColumn<QList<int>>("scores");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("below 30") << QList<int>{-5} << "2" << 12;
    QTest::newRow("exactly 30") << QList<int>{30} << "3" << 11;
    QTest::newRow("exactly 40") << QList<int>{40} << "4" << 10;
    QTest::newRow("40 back to 29") << QList<int>{40, 29} << "2" << 12;
    QTest::newRow("35 then 45") << QList<int>{35, 45} << "4" << 10;
}

void GameFlowTest::bidListFollowsTheHumansScore()
{
    QFETCH(QList<int>, scores);
    QFETCH(QString, first);
    QFETCH(int, count);
    Game game;
    for (int score : scores) {
        game.state().Scores[1] = score;
        game.window().newDeal();
    }
    QComboBox* box = game.table().bidBox();
    QCOMPARE(box->count(), count);
    QCOMPARE(box->itemText(0), first);
    QCOMPARE(box->itemText(box->count() - 1), QStringLiteral("26"));
    QCOMPARE(box->currentIndex(), -1);
}

QTEST_MAIN(GameFlowTest)
#include "tst_game_flow.moc"

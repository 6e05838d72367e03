// SPDX-License-Identifier: GPL-3.0-or-later
// A won game answered No: the program ends and no further deal is dealt.
// (Its own program: the application quits.)

#include "test_support.h"

#include <QMessageBox>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::Game;
using halbeet::testing::whenModal;

class WonGameNoTest : public QObject {
    Q_OBJECT

private slots:
    void answeringNoEndsTheProgram();
};

void WonGameNoTest::answeringNoEndsTheProgram()
{
    Game game(11);
    TGameState& s = game.state();
    game.bid(QStringLiteral("6"));
    s.Scores = {0, 0, 100, 0, 100}; // the other side wins whatever this deal brings
    bool asked = false;
    game.playOutDeal([&](TScores*) {
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            asked = true;
            box->button(QMessageBox::No)->click();
        });
    });
    QVERIFY(asked);
    QVERIFY(s.GameWinner == 2 || s.GameWinner == 4);
    QVERIFY(!game.window().isVisible());
    QVERIFY(!game.table().bidButton()->isVisible());
    QCOMPARE(s.CardsPlayed, 52);
}

QTEST_MAIN(WonGameNoTest)
#include "tst_won_game_no.moc"

// SPDX-License-Identifier: GPL-3.0-or-later
// Closing the window, answered Yes, while a computer seat waits to play: the waiting flow
// stops at once and plays no further card. (Its own program: the application quits.)

#include "test_support.h"

#include "ui/motion.h"

#include <QMessageBox>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::Game;
using halbeet::testing::whenModal;

class ExitInsidePauseTest : public QObject {
    Q_OBJECT

private slots:
    void confirmedCloseStopsTheWaitingFlow();
};

void ExitInsidePauseTest::confirmedCloseStopsTheWaitingFlow()
{
    Game game(13); // the human deals: three computer turns follow the bid
    TGameState& s = game.state();
    setTimeScale(1);
    int playedAtClose = -1;
    bool asked = false;
    QTimer::singleShot(30, [&] {
        QVERIFY(game.window().tableBusy());
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            QCOMPARE(box->text(), texts().flow.ExitQuestion);
            asked = true;
            box->button(QMessageBox::Yes)->click();
        });
        playedAtClose = s.CardsPlayed;
        game.window().close();
    });
    game.bid(QStringLiteral("6"));
    QTRY_VERIFY(asked);
    QVERIFY(!game.window().isVisible());
    QVERIFY(!game.window().tableBusy());
    QCOMPARE(s.CardsPlayed, playedAtClose);
    // Nothing races on afterwards, not even without time.
    setTimeScale(0);
    QTest::qWait(100);
    QCOMPARE(s.CardsPlayed, playedAtClose);
    QVERIFY(applicationQuitting());
}

QTEST_MAIN(ExitInsidePauseTest)
#include "tst_exit_inside_pause.moc"

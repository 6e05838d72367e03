// SPDX-License-Identifier: GPL-3.0-or-later
// The Expert level in the window: the computer seats play the Expert's choices, the Hint shows
// what the Expert would do in the human's seat and does nothing, and a New Game while an
// Expert thinks leaves nothing to play later.

#include "test_support.h"

#include "core/expert/expert_player.h"
#include "core/game.h"
#include "ui/card_sprite.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/motion.h"
#include "ui/status_bar.h"
#include "ui/table.h"

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace halbeet;
using halbeet::testing::answerNextMessage;
using halbeet::testing::checkStateInvariants;
using halbeet::testing::Game;

namespace {

const QByteArray ExpertLevel("[PLAYERS]\nLEVEL=EXPERT\n");

} // namespace

class ExpertPlayTest : public QObject {
    Q_OBJECT

private slots:
    void expertSeatsPlayTheExpertsCards();
    void hintSelectsTheBidAndConfirmsNothing_data();
    void hintSelectsTheBidAndConfirmsNothing();
    void hintRaisesTheCardAndPlaysNothing();
    void newGameWhileAnExpertThinks();
};

void ExpertPlayTest::expertSeatsPlayTheExpertsCards()
{
    // The human deals: seats 2, 3 and 4 play to the first trick as soon as he has bid.
    Game game(21, 0, ExpertLevel);
    GameModel& model = game.model();
    QCOMPARE(model.dealer(), 1);
    // What the Expert would play at each of the three first turns, worked out on a copy.
    GameModel copy([] { return 1u; });
    QVERIFY(copy.load(model.save()));
    QVERIFY(copy.bid(6));
    std::vector<TCardFace> expected;
    while (copy.phase() == Phase::Playing && copy.toAct() != 1) {
        const int seat = copy.toAct();
        const TCardFace card = ExpertChooseCard(ViewOf(copy, seat), DecisionSeed(copy, seat, 0)).card;
        expected.push_back(card);
        QVERIFY(copy.play(card));
    }
    QCOMPARE(expected.size(), std::size_t(3));
    game.bid(QStringLiteral("6"));
    const auto plays = model.plays();
    QCOMPARE(plays.size(), std::size_t(3));
    for (std::size_t i = 0; i < 3; ++i)
        QCOMPARE((TCardFace{plays[i].Suite, plays[i].Number}), expected[i]);
    // And a whole deal at the Expert level goes through like any other.
    game.playOutDeal();
    QCOMPARE(model.scoreRows().size(), std::size_t(1));
}

void ExpertPlayTest::hintSelectsTheBidAndConfirmsNothing_data()
{
    QTest::addColumn<QString>("lang");
    QTest::newRow("English") << "EN";
    QTest::newRow("Arabic") << "AR";
}

void ExpertPlayTest::hintSelectsTheBidAndConfirmsNothing()
{
    QFETCH(QString, lang);
    Game game(22, 0, {}, lang);
    GameModel& model = game.model();
    const ExpertBid expected = ExpertChooseBid(ViewOf(model, 1), DecisionSeed(model, 1, 0));
    const std::string before = model.save();
    game.window().menuItem(QStringLiteral("Hint1"))->trigger();
    QComboBox* box = game.table().bidBox();
    QCOMPARE(box->currentText(), QString::number(expected.bid));
    QVERIFY(game.table().bidButton()->isEnabled());
    QVERIFY(game.table().bidButton()->isVisible()); // not confirmed
    QCOMPARE(model.save(), before);
    QCOMPARE(game.window().statusBar1()->getHintPanel()->text(), texts().expert.BidHint.arg(expected.bid));
}

void ExpertPlayTest::hintRaisesTheCardAndPlaysNothing()
{
    Game game(23, 3); // seat 4 deals: the human leads
    GameModel& model = game.model();
    game.bid(QStringLiteral("6"));
    QCOMPARE(model.toAct(), 1);
    const ExpertCard expected = ExpertChooseCard(ViewOf(model, 1), DecisionSeed(model, 1, 0));
    const std::string before = model.save();
    game.window().menuItem(QStringLiteral("Hint1"))->trigger();
    QCOMPARE(model.save(), before);
    CardSprite* raised = nullptr;
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = game.table().handSprite(1, k);
        if (sprite->isVisible() && sprite->y() != Table::HandTop) {
            QVERIFY2(!raised, "more than one card is raised");
            raised = sprite;
        }
    }
    QVERIFY(raised);
    QCOMPARE(raised->face(), expected.card);
    QVERIFY(raised->y() < Table::HandTop && raised->y() > Table::RaisedTop - 1);
    const QString hint = game.window().statusBar1()->getHintPanel()->text();
    QVERIFY2(hint.contains(texts().expert.suitNames[static_cast<std::size_t>(expected.card.Suite)]), qPrintable(hint));
    // The reason in brackets, or no brackets when no reason holds for the card.
    if (expected.why == ExpertReason::NoReason)
        QVERIFY2(!hint.contains(QLatin1Char('(')), qPrintable(hint));
    else
        QVERIFY(hint.contains(texts().expert.reasons[static_cast<std::size_t>(expected.why)]));

    // Another card played: the hinted one goes back into line and the hint panel empties.
    CardSprite* other = nullptr;
    for (int k = 1; k <= 13 && !other; ++k) {
        CardSprite* sprite = game.table().handSprite(1, k);
        if (sprite != raised && sprite->isVisible() && model.isLegalCard(sprite->face()))
            other = sprite;
    }
    QVERIFY(other);
    game.click(other);
    QCOMPARE(raised->y(), Table::HandTop);
    QCOMPARE(game.window().statusBar1()->getHintPanel()->text(), texts().flow.EmptyHint);
    QCOMPARE(checkStateInvariants(game.state(), game.table()), QString());
}

void ExpertPlayTest::newGameWhileAnExpertThinks()
{
    Game game(24, 0, ExpertLevel); // the human deals; the three computers play first
    setTimeScale(0.2);
    bool interrupted = false;
    QTimer::singleShot(30, [&] {
        // Inside the first computer's wait: New Game, Yes.
        answerNextMessage(MsgButton::Yes);
        game.window().askNewGame();
        interrupted = true;
    });
    game.bid(QStringLiteral("6"));
    QTRY_VERIFY(interrupted);
    setTimeScale(0);
    // A fresh deal waits for the bid, and nothing of the old one is played into it.
    QVERIFY(game.table().bidButton()->isVisible());
    QCOMPARE(game.model().phase(), Phase::Bidding);
    QTest::qWait(300);
    QCOMPARE(game.model().phase(), Phase::Bidding);
    QCOMPARE(game.state().CardsPlayed, 0);
    QVERIFY(game.model().plays().empty());
}

QTEST_MAIN(ExpertPlayTest)
#include "tst_expert_play.moc"

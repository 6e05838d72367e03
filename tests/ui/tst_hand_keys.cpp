// SPDX-License-Identifier: GPL-3.0-or-later
// Playing the human's cards with the keyboard alone: the mark, the keys that move it, Return
// and Space playing through the click's own handler, and keys pressed while no card is taken.
#include "test_support.h"

#include "ui/hand_keys.h"

#include <QApplication>
#include <QSet>

using namespace halbeet;
using halbeet::testing::checkStateInvariants;
using halbeet::testing::Game;
using halbeet::testing::whenModal;

namespace {

// A key as a person presses it: to the widget that has the focus, from where it travels up.
void press(Game& game, Qt::Key key)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != &game.window())
        target = &game.window();
    QTest::keyClick(target, key);
}

// The sprites that carry the mark on the screen now.
QList<CardSprite*> markedOnScreen(Game& game)
{
    QList<CardSprite*> shown;
    for (CardSprite* sprite : game.window().findChildren<CardSprite*>())
        if (sprite->focusMarkShown())
            shown << sprite;
    return shown;
}

CardSprite* theMark(Game& game)
{
    const QList<CardSprite*> shown = markedOnScreen(game);
    return shown.size() == 1 ? shown.first() : nullptr;
}

// The human's cards still in his hand, left to right on the screen, from the model.
QList<CardSprite*> handLeftToRight(Game& game)
{
    QList<CardSprite*> hand;
    const TGameState& s = game.state();
    for (int k = 1; k <= 13; ++k) {
        CardSprite* sprite = game.table().handSprite(1, k);
        for (int i = 1; i <= s.HandCount[1]; ++i)
            if (sprite->isVisible() && sprite->face() == s.Hands[1][i])
                hand << sprite;
    }
    std::sort(hand.begin(), hand.end(),
              [](CardSprite* a, CardSprite* b) { return a->geometry().center().x() < b->geometry().center().x(); });
    return hand;
}

// The window has the keyboard, as it has once the name dialog is gone.
bool active(Game& game)
{
    // The hidden name dialog's own deactivation may still be on its way.
    QTest::qWait(20);
    game.window().activateWindow();
    return QTest::qWaitForWindowActive(&game.window());
}

} // namespace

class HandKeysTest : public QObject {
    Q_OBJECT

private slots:
    void markIsShownOnlyWhenACardWouldBeTaken();
    void fanStaysInOrderAfterCardsLeaveIt();
    void markVisitsTheHandAndWraps_data();
    void markVisitsTheHandAndWraps();
    void refusedCardIsRefusedFromTheKeyboardToo();
    void keysDuringGlidesAndPausesNeverPlayLater();
    void hintMovesTheMarkAndReturnPlaysIt();
    void markCoversNoRank_data();
    void markCoversNoRank();
    void wholeDealWithKeysOnly_data();
    void wholeDealWithKeysOnly();
};

void HandKeysTest::markIsShownOnlyWhenACardWouldBeTaken()
{
    Game game(3, 3); // seat 4 deals: the human leads
    QVERIFY(active(game));
    QVERIFY(markedOnScreen(game).isEmpty()); // bidding: a click on a card is ignored
    press(game, Qt::Key_Right);
    // Return goes to the bid list, which has the keyboard: with no bid chosen it asks for one.
    QString notice;
    whenModal([&](QWidget* modal) {
        notice = testing::messageText(modal);
        modal->close();
    });
    press(game, Qt::Key_Return);
    QCOMPARE(notice, texts().flow.MissingBidNotice);
    QCOMPARE(game.state().HandCount[1], 13);
    QVERIFY(active(game));

    game.bid(QStringLiteral("14"));
    CardSprite* mark = theMark(game);
    QVERIFY(mark);
    QVERIFY(mark->hasFocus());

    // For the mouse the fan stays in order: each card's strip is still its own to click.
    const QList<CardSprite*> hand = handLeftToRight(game);
    auto stripOwner = [&](CardSprite* card) {
        return game.table().childAt(card->geometry().topLeft() + QPoint(4, card->height() / 2));
    };
    for (CardSprite* card : hand)
        QCOMPARE(stripOwner(card), card);
    // Nor does the keyboard's mark change the fan, nor does the pointer on the hand.
    press(game, Qt::Key_Home);
    press(game, Qt::Key_Right);
    mark = theMark(game);
    QCOMPARE(mark, hand.at(1));
    for (CardSprite* card : hand)
        QCOMPARE(stripOwner(card), card);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(hand.at(5), &enter);
    for (CardSprite* card : hand)
        QCOMPARE(stripOwner(card), card);
    QVERIFY(mark->focusMarkShown());

    // A dialog over the table takes the clicks, and with them the mark, drawn or not; the mark
    // is back on the screen once the window is active again.
    const QWidget* drawn = game.window().handKeys()->cardMark();
    QVERIFY(drawn->isVisible());
    bool seenUnderDialog = true;
    bool drawnUnderDialog = true;
    whenModal([&](QWidget* modal) {
        seenUnderDialog = mark->focusMarkShown();
        drawnUnderDialog = drawn->isVisible();
        modal->close();
    });
    game.window().showScores();
    QVERIFY(!seenUnderDialog);
    QVERIFY(!drawnUnderDialog);
    QVERIFY(active(game));
    QVERIFY(mark->focusMarkShown());
    QVERIFY(drawn->isVisible());

    // After the deal is over there is nothing to play.
    game.playOutDeal();
    QVERIFY(game.table().bidButton()->isVisible());
    QVERIFY(markedOnScreen(game).isEmpty());
}

void HandKeysTest::fanStaysInOrderAfterCardsLeaveIt()
{
    // Cards played from the middle of the hand lie parked, hidden, at their places, and one
    // played after others in a trick was raised on its way there: a marked card put back into
    // the fan must not go under such a card, over its visible neighbours.
    Game game(3, 3);
    QVERIFY(active(game));
    game.bid(QStringLiteral("14"));
    while (game.state().HandCount[1] > 6) {
        CardSprite* sprite = game.spriteOf(game.legalCard());
        QVERIFY(sprite);
        game.click(sprite);
    }
    const QList<CardSprite*> hand = handLeftToRight(game);
    auto stripOwner = [&](CardSprite* card) {
        return game.table().childAt(card->geometry().topLeft() + QPoint(4, card->height() / 2));
    };
    press(game, Qt::Key_Home);
    for (int i = 0; i < hand.size(); ++i) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(hand.at(i), &enter);
        for (CardSprite* card : hand)
            QCOMPARE(stripOwner(card), card);
        press(game, Qt::Key_Right);
    }
}

void HandKeysTest::markVisitsTheHandAndWraps_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("EN");
    QTest::newRow("Arabic") << QStringLiteral("AR");
}

void HandKeysTest::markVisitsTheHandAndWraps()
{
    QFETCH(QString, language);
    Game game(3, 3, {}, language);
    QVERIFY(active(game));
    game.bid(QStringLiteral("14"));
    const bool arabic = language == QStringLiteral("AR");

    // Twice: with the whole hand, and again with cards gone from the middle of the fan.
    for (int round = 0; round < 2; ++round) {
        const QList<CardSprite*> hand = handLeftToRight(game);
        QVERIFY(hand.size() >= 10);
        // Home goes to where a line begins: the left end in English, the right end in Arabic.
        press(game, Qt::Key_Home);
        QCOMPARE(theMark(game), arabic ? hand.last() : hand.first());
        press(game, Qt::Key_End);
        QCOMPARE(theMark(game), arabic ? hand.first() : hand.last());

        // Right walks the fan left to right in both languages, each card once, then wraps.
        press(game, arabic ? Qt::Key_End : Qt::Key_Home);
        QList<CardSprite*> visited{theMark(game)};
        for (int i = 1; i < hand.size(); ++i) {
            press(game, Qt::Key_Right);
            visited << theMark(game);
        }
        QCOMPARE(visited, hand);
        press(game, Qt::Key_Right);
        QCOMPARE(theMark(game), hand.first());
        // Left walks back, wrapping the other way.
        press(game, Qt::Key_Left);
        QCOMPARE(theMark(game), hand.last());
        for (int i = hand.size() - 2; i >= 0; --i) {
            press(game, Qt::Key_Left);
            QCOMPARE(theMark(game), hand.at(i));
        }

        // Play from the middle of the fan, twice, with the keys.
        for (int play = 0; play < 2; ++play) {
            const QList<CardSprite*> now = handLeftToRight(game);
            press(game, Qt::Key_Home);
            CardSprite* target = nullptr;
            for (CardSprite* sprite : now)
                if (game.model().isLegalCard(sprite->face()) && sprite != now.first() && sprite != now.last())
                    target = sprite;
            if (!target)
                target = now.at(now.size() / 2);
            while (theMark(game) != target)
                press(game, arabic ? Qt::Key_Left : Qt::Key_Right);
            const int before = game.state().HandCount[1];
            const bool legal = game.model().isLegalCard(target->face());
            press(game, Qt::Key_Space);
            QCOMPARE(game.state().HandCount[1], legal ? before - 1 : before);
            if (!legal)
                break;
            // The mark comes back at once on the card that took the played card's place.
            QVERIFY(theMark(game));
            QVERIFY(handLeftToRight(game).contains(theMark(game)));
        }
    }
    QCOMPARE(checkStateInvariants(game.state(), game.table()), QString());
}

void HandKeysTest::refusedCardIsRefusedFromTheKeyboardToo()
{
    // A deal where the human, fourth to play, holds the led suit and another suit.
    for (std::uint32_t seed = 1; seed < 200; ++seed) {
        Game game(seed);
        QVERIFY(active(game));
        game.bid(QStringLiteral("6"));
        const TGameState& s = game.state();
        const int led = s.Trick[1].Suite;
        if (s.Splits[1].Counts[led] == 0 || s.Splits[1].Counts[led] == 13)
            continue;
        press(game, Qt::Key_Home);
        while (theMark(game)->Suite() == led)
            press(game, Qt::Key_Right);
        CardSprite* wrong = theMark(game);
        press(game, Qt::Key_Return);
        QVERIFY(game.table().warningImage()->isVisible());
        QCOMPARE(s.HandCount[1], 13);
        QCOMPARE(game.table().trickSlot(1)->Suite(), 0);
        QCOMPARE(s.CardsPlayed, 3);
        // The mark stays where it was, on the card that was refused.
        QCOMPARE(theMark(game), wrong);

        while (theMark(game)->Suite() != led)
            press(game, Qt::Key_Right);
        press(game, Qt::Key_Enter);
        QVERIFY(!game.table().warningImage()->isVisible());
        QCOMPARE(s.HandCount[1], 12);
        QCOMPARE(checkStateInvariants(s, game.table()), QString());
        return;
    }
    QFAIL("no seed gave a deal to test the refusal");
}

void HandKeysTest::keysDuringGlidesAndPausesNeverPlayLater()
{
    Game game(3, 3); // the human leads
    QVERIFY(active(game));
    TGameState& s = game.state();
    game.bid(QStringLiteral("14"));

    // Real waits, shortened: keys keep coming while the card glides, the computers play and the
    // trick waits; none of them may play a card then or later, and the mark stays away.
    setTimeScale(0.05);
    int keys = 0;
    int markWhileBusy = 0;
    bool inFlow = false;
    QTimer presser;
    presser.setInterval(1);
    const std::array<Qt::Key, 4> cycle = {Qt::Key_Return, Qt::Key_Right, Qt::Key_Space, Qt::Key_Left};
    connect(&presser, &QTimer::timeout, [&] {
        if (!inFlow)
            return;
        if (!markedOnScreen(game).isEmpty() && !game.window().humanMayPlay())
            ++markWhileBusy;
        press(game, cycle[static_cast<std::size_t>(keys++ % 4)]);
    });
    presser.start();
    inFlow = true;
    press(game, Qt::Key_Return); // plays the marked card
    QVERIFY(game.waitForHumansTurn());
    inFlow = false;
    presser.stop();
    setTimeScale(0);
    QVERIFY(keys > 3);
    QCOMPARE(markWhileBusy, 0);

    QCOMPARE(s.HandCount[1], 12);
    QCOMPARE(s.TricksWon[1] + s.TricksWon[2] + s.TricksWon[3] + s.TricksWon[4], 1);
    QTest::qWait(50);
    QCOMPARE(s.HandCount[1], 12);
    // The human's turn again: the mark is back and the keys work.
    QVERIFY(theMark(game));
    QCOMPARE(checkStateInvariants(s, game.table()), QString());
}

void HandKeysTest::hintMovesTheMarkAndReturnPlaysIt()
{
    Game game(23, 3); // the human leads
    QVERIFY(active(game));
    game.bid(QStringLiteral("6"));
    press(game, Qt::Key_Home);
    game.window().menuItem(QStringLiteral("Hint1"))->trigger();
    // The mark is back after the Expert's thinking, on the hinted (raised) card.
    CardSprite* mark = theMark(game);
    QVERIFY(mark);
    QVERIFY(mark->y() < Table::HandTop);
    const TCardFace hinted = mark->face();
    press(game, Qt::Key_Return);
    QCOMPARE(game.state().HandCount[1], 12);
    bool played = false;
    for (const TTrickCard& play : game.model().plays())
        played = played || (play.Seat == 1 && TCardFace{play.Suite, play.Number} == hinted);
    QVERIFY(played);
}

void HandKeysTest::markCoversNoRank_data()
{
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<bool>("hinted");
    QTest::newRow("marked by the keys") << 1.0 << false;
    QTest::newRow("hinted, raised and marked") << 1.0 << true;
    QTest::newRow("marked by the keys, table doubled") << 2.0 << false;
    QTest::newRow("hinted, table doubled") << 2.0 << true;
}

void HandKeysTest::markCoversNoRank()
{
    // Every card's index corner (the top of the part the fan shows) is the same picture with
    // the mark on the hand as without it: neither the mark nor the marked card covers a rank.
    QFETCH(qreal, scale);
    QFETCH(bool, hinted);
    Game game(23, 3); // the human leads
    if (scale != 1.0)
        testing::scaleTable(game.window(), scale);
    QVERIFY(active(game));
    game.bid(QStringLiteral("6"));
    press(game, Qt::Key_Home);
    for (int i = 0; i < 5; ++i)
        press(game, Qt::Key_Right);
    if (hinted)
        game.window().menuItem(QStringLiteral("Hint1"))->trigger();
    CardSprite* mark = theMark(game);
    QVERIFY(mark);
    QVERIFY(game.window().handKeys()->cardMark()->isVisible());
    Table& table = game.table();
    const QList<CardSprite*> hand = handLeftToRight(game);
    QCOMPARE(hand.size(), 13);
    // The corner of each card: as wide as the part the fan shows, a quarter of its height.
    QList<QRect> corners;
    for (int i = 0; i < hand.size(); ++i) {
        const QRect card = hand.at(i)->geometry();
        const int shown = i + 1 < hand.size() ? hand.at(i + 1)->x() - card.x() : card.width();
        corners << QRect(card.topLeft(), QSize(shown, card.height() / 4));
    }
    const QImage marked = table.grab().toImage();
    game.window().handKeys()->disarm();
    QVERIFY(!game.window().handKeys()->cardMark()->isVisible());
    const QImage plain = table.grab().toImage();
    const qreal dpr = marked.devicePixelRatio();
    for (int i = 0; i < hand.size(); ++i) {
        const QRect corner = corners.at(i);
        const QRect px(qRound(corner.x() * dpr), qRound(corner.y() * dpr), qRound(corner.width() * dpr),
                       qRound(corner.height() * dpr));
        QVERIFY2(marked.copy(px) == plain.copy(px),
                 qPrintable(QStringLiteral("card %1 of the hand (%2 is marked)").arg(i).arg(hand.indexOf(mark))));
    }
    // The mark itself shows, above and below the marked card.
    const QRect above(mark->x(), mark->y() - 2, 4, 1);
    QVERIFY(marked.copy(above) != plain.copy(above));
}

void HandKeysTest::wholeDealWithKeysOnly_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("EN");
    QTest::newRow("Arabic") << QStringLiteral("AR");
}

void HandKeysTest::wholeDealWithKeysOnly()
{
    QFETCH(QString, language);
    Game game(5, 0, {}, language);
    QVERIFY(active(game));
    // The bid from the keyboard: the list, then the button.
    QComboBox* box = game.table().bidBox();
    QVERIFY(box->hasFocus()); // each deal's bid starts on the list
    // Down to "5" or more: with three computer bids of at least 2 the deal cannot pass.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QVERIFY(box->currentText().toInt() >= 5);
    QVERIFY(game.table().bidButton()->isEnabled());
    // The gold ring shows where the keyboard is, on the list and then on the button.
    FocusRing* ring = game.window().handKeys()->focusRing();
    QCOMPARE(ring->target(), box);
    QVERIFY(ring->isVisible() && ring->geometry().contains(box->geometry()));
    QTest::keyClick(box, Qt::Key_Tab);
    QVERIFY(game.table().bidButton()->hasFocus());
    QCOMPARE(ring->target(), game.table().bidButton());
    QVERIFY(ring->isVisible() && ring->geometry().contains(game.table().bidButton()->geometry()));
    QTest::keyClick(game.table().bidButton(), Qt::Key_Space);
    QVERIFY(!game.table().bidButton()->isVisible());
    QVERIFY(!ring->isVisible());
    QCOMPARE(game.model().phase(), Phase::Playing);

    bool sheetSeen = false;
    while (game.state().HandCount[1] > 0) {
        const int before = game.state().HandCount[1];
        QVERIFY(theMark(game));
        // Right until the mark is on a card the rules allow.
        for (int i = 0; i < 13 && !game.model().isLegalCard(theMark(game)->face()); ++i)
            press(game, Qt::Key_Right);
        if (before == 1)
            whenModal([&](QWidget* modal) {
                sheetSeen = qobject_cast<ScoreSheet*>(modal) != nullptr;
                QVERIFY2(sheetSeen, modal->metaObject()->className());
                QTest::keyClick(modal, Qt::Key_Return);
            });
        press(game, Qt::Key_Return);
        if (before == 1)
            break;
        QCOMPARE(game.state().HandCount[1], before - 1);
    }
    QVERIFY(sheetSeen);
    QVERIFY(game.table().bidButton()->isVisible()); // the next deal waits for its bid
}

QTEST_MAIN(HandKeysTest)
#include "tst_hand_keys.moc"
